#include <gtest/gtest.h>

#include <utility>

#include "rig.h"

namespace tarrow::app {
namespace {

using testing::at;
using testing::configWith;
using testing::Rig;

// The system's time zone changes while the app runs: the next tick already evaluates the
// schedules in the new zone.
TEST(TickCalendar, TheNextTickUsesTheNewTimeZone) {
    Rig rig;  // its calendar is in Europe/Berlin
    std::optional<Calendar> next;
    rig.newCalendar = [&] { return std::exchange(next, std::nullopt); };
    Config config = configWith({"example.com"}, false);
    config.schedules = {Schedule::make(true, {1, 2, 3, 4, 5, 6, 7}, 9 * 60, 10 * 60)};
    rig.clock = at("2026-10-23T07:30:00Z");  // 09:30 in Berlin, 16:30 in Tokyo
    rig.start(config);
    rig.tick();
    EXPECT_NE(rig.request(), "") << "the schedule runs in Berlin";
    EXPECT_EQ(rig.count("time zone: Asia/Tokyo"), 0);

    next = Calendar("Asia/Tokyo", "en_US");
    rig.tick();
    EXPECT_EQ(rig.tarrow->calendar().zone(), "Asia/Tokyo");
    EXPECT_EQ(rig.request(), "") << "the schedule is over in the new zone";
    EXPECT_EQ(rig.count("time zone: Asia/Tokyo"), 1);
    rig.tick();
    EXPECT_EQ(rig.count("time zone: Asia/Tokyo"), 1) << "logged once per change";
}

}  // namespace
}  // namespace tarrow::app
