// The tick reads the helper's still-open file when it changes, logs each newly listed
// name once, and hands the Sites tab the open names of each configured site.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/rig.h"

namespace tarrow::app {
namespace {

using test::configWith;
using test::Rig;

const std::string later = "a later line of /etc/hosts names it";
const std::string resolver = "the system resolver answers 203.0.113.5 for it, not /etc/hosts";

// Replaced by rename, as the helper does.
void writeStatus(const Rig& rig, const std::string& text) {
    test::writeFile(rig.paths.stillOpen + ".new", text);
    std::filesystem::rename(rig.paths.stillOpen + ".new", rig.paths.stillOpen);
}

TEST(StillOpenTick, FileAppearsChangesAndGoes) {
    Rig rig;
    rig.start(configWith({"youtube.com", "example.org"}, true));
    rig.tick();
    EXPECT_TRUE(rig.store->stillOpen().empty()) << "no file: nothing open";
    EXPECT_EQ(rig.countPrefix("still open"), 0);
    EXPECT_EQ(rig.countPrefix("cannot read"), 0) << "a missing file is no failure";

    writeStatus(rig, "www.youtube.com: " + later + "\nother.example: " + resolver + "\n");
    rig.tick();
    rig.tick();
    EXPECT_EQ(rig.store->stillOpen(),
              (SiteOpenNames{{"youtube.com", {{"www.youtube.com", later}}}}));
    EXPECT_EQ(rig.count("still open: www.youtube.com (" + later + ")"), 1);
    EXPECT_EQ(rig.count("still open: other.example (" + resolver + ")"), 1);

    // A new reason for one name, another name added: only those two are said.
    writeStatus(rig, "example.org: " + later + "\nwww.youtube.com: " + resolver +
                         "\nother.example: " + resolver + "\n");
    rig.tick();
    EXPECT_EQ(rig.store->stillOpen(),
              (SiteOpenNames{{"example.org", {{"example.org", later}}},
                             {"youtube.com", {{"www.youtube.com", resolver}}}}));
    EXPECT_EQ(rig.countPrefix("still open: "), 4);
    EXPECT_EQ(rig.count("still open: www.youtube.com (" + resolver + ")"), 1);

    // The site leaves the list: its row goes, the file is unchanged.
    rig.store->setConfig(configWith({"youtube.com"}, true));
    EXPECT_EQ(rig.store->stillOpen(),
              (SiteOpenNames{{"youtube.com", {{"www.youtube.com", resolver}}}}));

    std::filesystem::remove(rig.paths.stillOpen);
    rig.tick();
    EXPECT_TRUE(rig.store->stillOpen().empty());
    EXPECT_EQ(rig.countPrefix("still open: "), 4);
}

TEST(StillOpenTick, AnUnreadableFileIsLoggedOnce) {
    Rig rig;
    rig.start(configWith({"youtube.com"}, true));
    writeStatus(rig, "youtube.com: " + later + "\n");
    rig.tick();
    ASSERT_EQ(rig.store->stillOpen().size(), 1u);

    std::filesystem::remove(rig.paths.stillOpen);
    std::filesystem::create_directories(rig.paths.stillOpen);  // not a file to read
    for (int i = 0; i < 3; ++i) rig.tick();
    EXPECT_TRUE(rig.store->stillOpen().empty()) << "what cannot be read is not shown";
    EXPECT_EQ(rig.count("cannot read " + rig.paths.stillOpen + ": not a regular file"), 1);

    std::filesystem::remove(rig.paths.stillOpen);
    writeStatus(rig, "youtube.com: " + later + "\n");
    rig.tick();
    EXPECT_EQ(rig.store->stillOpen().size(), 1u);
    EXPECT_EQ(rig.count("still open: youtube.com (" + later + ")"), 2)
        << "said again: the failure in between listed nothing";
}

}  // namespace
}  // namespace tarrow::app
