#include "app/model/config.h"

#include <gtest/gtest.h>

#include "app/model/site_names.h"

namespace tarrow {
namespace {

TEST(Initial, SitesAreThePresetRowsAndTheScheduleIsOff) {
    const Config& c = Config::initial();
    ASSERT_EQ(c.sites.size(), 3u);
    EXPECT_EQ(siteName(c.sites[0].domain), "YouTube");
    EXPECT_EQ(siteName(c.sites[1].domain), "Bild");
    EXPECT_EQ(siteName(c.sites[2].domain), "Google News");
    ASSERT_EQ(c.schedules.size(), 1u);
    EXPECT_EQ(c.schedules[0], (Schedule{c.schedules[0].id, false, {2, 3, 4, 5, 6}, 480, 720}));
    EXPECT_FALSE(c.manualOn);
    EXPECT_TRUE(c.notice && c.suggest);
}

}  // namespace
}  // namespace tarrow
