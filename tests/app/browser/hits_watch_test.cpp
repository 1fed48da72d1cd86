// The hits folder watch, through replacements of the file and of the folder.

#include "app/browser/hits_watch.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>

#include "tests/support/files.h"
#include "tests/support/qt_app.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

namespace fs = std::filesystem;
using test::waitUntil;

class Watch : public ::testing::Test {
  protected:
    void SetUp() override { test::ensureQtApp(); }
    void hit(const std::string& line) {
        test::writeFile((folder / "hits.new").string(), line + "\n");
        fs::rename(folder / "hits.new", folder / "hits");
    }
    test::TempFolder scratch;
    fs::path root = scratch.path, folder = root / "Tarrow";
};

TEST_F(Watch, FollowsTheFolderThroughReplacementsAndItsReturn) {
    int changes = 0, arms = 0;
    HitsWatch watch((folder / "hits").string(), [&] { ++changes; });
    const auto armed = [&] { ++arms; };
    EXPECT_FALSE(watch.arm(armed));  // no folder yet: tried again on the next tick
    fs::create_directory(folder);
    EXPECT_TRUE(watch.arm(armed));
    EXPECT_TRUE(watch.arm(armed));  // already armed
    EXPECT_EQ(arms, 1);

    hit("1 youtube.com");
    EXPECT_TRUE(waitUntil([&] { return changes >= 1; }));
    const int before = changes;
    hit("2 youtube.com");
    EXPECT_TRUE(waitUntil([&] { return changes > before; }));

    fs::remove_all(folder);
    EXPECT_TRUE(waitUntil([&] { return !watch.armed(); }));
    fs::create_directory(folder);
    EXPECT_TRUE(watch.arm(armed));
    EXPECT_EQ(arms, 2);
    const int again = changes;
    hit("3 youtube.com");
    EXPECT_TRUE(waitUntil([&] { return changes > again; }));

    // Moved away and replaced between two ticks: the next arm watches the new folder.
    fs::rename(folder, root / "old");
    fs::create_directory(folder);
    QApplication::processEvents();
    EXPECT_TRUE(watch.arm(armed));
    EXPECT_EQ(arms, 3);
    const int moved = changes;
    hit("4 youtube.com");
    EXPECT_TRUE(waitUntil([&] { return changes > moved; }));
}

}  // namespace
}  // namespace tarrow
