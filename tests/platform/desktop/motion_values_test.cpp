#include <gtest/gtest.h>

#include <QDBusVariant>

#include "platform/desktop/reduced_motion.h"

namespace tarrow::platform {
namespace {

// The values the shell test's stand-ins do not give: the older portal call's variant in
// a variant, values of another kind (not an answer), KDE's factor through the portal,
// and text that is no setting.
TEST(ReducedMotion, ValuesBeyondTheStandIns) {
    const auto nested = QVariant::fromValue(QDBusVariant(QVariant::fromValue(QDBusVariant(1u))));
    EXPECT_EQ(reducedFromPortal(motionKeys[0], nested), true);
    EXPECT_EQ(reducedFromPortal(motionKeys[0], QVariant(QStringLiteral("1"))), std::nullopt);
    EXPECT_EQ(reducedFromPortal(motionKeys[1], QVariant(0u)), std::nullopt);
    EXPECT_EQ(reducedFromPortal(motionKeys[2], QVariant(0.0)), true);
    EXPECT_EQ(reducedFromPortal(motionKeys[2], QVariant(0.5)), false);
    EXPECT_EQ(reducedFromGsettings("No such key \u201Cenable-animations\u201D\n"), std::nullopt);
    EXPECT_EQ(reducedFromKdeglobals("[KDE]\nAnimationDurationFactor = 0.25\n"), false);
    EXPECT_EQ(reducedFromKdeglobals("[KDE]\nAnimationDurationFactor=fast\n"), std::nullopt);
}

}  // namespace
}  // namespace tarrow::platform
