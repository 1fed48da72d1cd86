#include "app/controller/zone_watch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::app {
namespace {

using test::TempFolder;
using test::writeFile;

void pointAt(const std::string& link, const std::string& target) {
    const std::string fresh = link + ".new";
    ::unlink(fresh.c_str());
    ASSERT_EQ(::symlink(target.c_str(), fresh.c_str()), 0);
    ASSERT_EQ(::rename(fresh.c_str(), link.c_str()), 0);  // as the system settings do
}

// What makes a change: the link pointing elsewhere, a file copied over it, TZ.
TEST(ZoneWatch, SeesEveryWayTheZoneChangesAndNothingElse) {
    TempFolder s;
    writeFile(s / "Berlin", "TZif berlin");
    writeFile(s / "Tokyo", "TZif tokyo, a little longer");
    const std::string localtime = s / "localtime";
    pointAt(localtime, s / "Berlin");
    ::unsetenv("TZ");

    ZoneWatch watch(localtime);
    EXPECT_FALSE(watch.changed()) << "the first look is the start";
    EXPECT_FALSE(watch.changed());
    pointAt(localtime, s / "Tokyo");
    EXPECT_TRUE(watch.changed());
    EXPECT_FALSE(watch.changed()) << "once per change";
    pointAt(localtime, s / "Tokyo");  // the same zone set again
    EXPECT_FALSE(watch.changed());

    std::filesystem::remove(localtime);
    writeFile(localtime, "TZif a copied file");
    EXPECT_TRUE(watch.changed());
    writeFile(localtime, "TZif another copied zone");
    EXPECT_TRUE(watch.changed());

    ::setenv("TZ", "Asia/Tokyo", 1);
    EXPECT_TRUE(watch.changed());
    EXPECT_FALSE(watch.changed());
    ::unsetenv("TZ");
    EXPECT_TRUE(watch.changed());

    std::filesystem::remove(localtime);
    EXPECT_TRUE(watch.changed()) << "no zone file: UTC";
}

}  // namespace
}  // namespace tarrow::app
