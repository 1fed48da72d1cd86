#include "app/model/calendar.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tarrow {
namespace {

// The system's zone is read anew each time, not kept from the first look.
TEST(CalendarCurrent, FollowsAChangedSystemZone) {
    const char* saved = std::getenv("TZ");
    const std::string keep = saved ? saved : "";
    for (const char* zone : {"Asia/Tokyo", "Europe/Berlin"}) {
        ::setenv("TZ", zone, 1);
        EXPECT_EQ(Calendar::current().zone(), zone);
    }
    if (saved) {
        ::setenv("TZ", keep.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
}

}  // namespace
}  // namespace tarrow
