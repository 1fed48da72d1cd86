// What each place's value says about less motion: the portal's keys (also as the older
// portal call's variant in a variant; a value of another kind is no answer), and what is
// no answer from gsettings and kdeglobals (their values: the reduced-motion script).

#include <gtest/gtest.h>

#include <QDBusVariant>

#include "platform/desktop/reduced_motion.h"

namespace tarrow::platform {
namespace {

TEST(ReducedMotion, ValuesOfEachPlace) {
    const auto nested = [](QVariant v) {
        return QVariant::fromValue(QDBusVariant(QVariant::fromValue(QDBusVariant(v))));
    };
    const std::tuple<int, QVariant, std::optional<bool>> portal[] = {
        {0, nested(1u), true},      {0, QVariant(0u), false},  {0, QVariant("1"), std::nullopt},
        {1, QVariant(false), true}, {1, nested(true), false},  {1, QVariant(0u), std::nullopt},
        {2, QVariant(0.0), true},   {2, QVariant(0.5), false},
    };
    for (const auto& [key, value, reduced] : portal)
        EXPECT_EQ(reducedFromPortal(motionKeys[key], value), reduced) << key;
    EXPECT_EQ(reducedFromGsettings("No such key \u201Cenable-animations\u201D\n"), std::nullopt);
    EXPECT_EQ(reducedFromKdeglobals("[KDE]\nAnimationDurationFactor=fast\n"), std::nullopt);
}

}  // namespace
}  // namespace tarrow::platform
