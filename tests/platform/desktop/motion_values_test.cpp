#include <gtest/gtest.h>

#include <QDBusVariant>

#include "platform/desktop/reduced_motion.h"

namespace tarrow::platform {
namespace {

// What each desktop's value says; none for a value of another kind, which is then
// not taken as an answer.
TEST(ReducedMotion, DesktopValues) {
    const MotionKey& portal = motionKeys[0];
    const MotionKey& gnome = motionKeys[1];
    const MotionKey& kde = motionKeys[2];
    struct Case {
        const MotionKey& key;
        QVariant value;
        std::optional<bool> reduced;
    };
    const Case cases[] = {
        {portal, QVariant(1u), true},
        {portal, QVariant(0u), false},
        {portal, QVariant::fromValue(QDBusVariant(QVariant::fromValue(QDBusVariant(1u)))), true},
        {portal, QVariant(QStringLiteral("1")), std::nullopt},
        {gnome, QVariant(false), true},
        {gnome, QVariant(true), false},
        {gnome, QVariant(0u), std::nullopt},
        {kde, QVariant(0.0), true},
        {kde, QVariant(0.5), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(reducedFromPortal(c.key, c.value), c.reduced)
            << c.key.key << " " << c.value.toString().toStdString();
    }
    EXPECT_EQ(reducedFromGsettings("false\n"), true);
    EXPECT_EQ(reducedFromGsettings("enable-animations: true\n"), false);
    EXPECT_EQ(reducedFromGsettings("No such key \u201Cenable-animations\u201D\n"), std::nullopt);
}

TEST(ReducedMotion, KdeglobalsOnlyItsKdeGroup) {
    EXPECT_EQ(reducedFromKdeglobals("[KDE]\nAnimationDurationFactor=0\n"), true);
    EXPECT_EQ(reducedFromKdeglobals("[KDE]\nAnimationDurationFactor = 0.25\n"), false);
    EXPECT_EQ(reducedFromKdeglobals("[KDE]\nAnimationDurationFactor=fast\n"), std::nullopt);
    EXPECT_EQ(reducedFromKdeglobals("[KDE]\nSingleClick=false\n"), std::nullopt);
}

}  // namespace
}  // namespace tarrow::platform
