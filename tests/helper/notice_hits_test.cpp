#include "helper/notice_hits.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "common/file_io.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

using Clock = HitsFile::Clock;
using std::chrono::milliseconds;

const Clock::time_point t0 = Clock::time_point(std::chrono::seconds(1800000000));

std::string read(const std::string& path) {
    return readRegularFile(path).value_or("<missing>");
}

// Hits at given offsets from t0 and what the file then holds.
struct HitsCase {
    const char* what;
    std::vector<std::pair<std::string, int>> hits;  // host, milliseconds after t0
    std::string file;
};

TEST(HitsFile, Recording) {
    // clang-format off
    const std::vector<HitsCase> cases = {
        {"one hit", {{"example.com", 0}}, "1800000000 example.com\n"},
        {"same host within a second", {{"a.example", 0}, {"a.example", 999}}, "1800000000 a.example\n"},
        {"same host a second later", {{"a.example", 0}, {"a.example", 1000}},
         "1800000000 a.example\n1800000001 a.example\n"},
        {"different hosts share a second", {{"a.example", 0}, {"b.example", 10}},
         "1800000000 a.example\n1800000000 b.example\n"},
        {"fraction dropped", {{"a.example", 1999}}, "1800000001 a.example\n"},
        {"protected and invalid names", {{"www.apple.com", 0}, {"UPPER.example", 0}, {"ok.example", 0}},
         "1800000000 ok.example\n"},
        {"clock set back", {{"a.example", 5000}, {"a.example", 4500}}, "1800000005 a.example\n"},
    };
    // clang-format on
    for (const auto& c : cases) {
        test::TempFolder folder;
        HitsFile hits(folder / "hits");
        for (const auto& [host, ms] : c.hits) hits.record(host, t0 + milliseconds(ms));
        EXPECT_EQ(read(folder / "hits"), c.file) << c.what;
    }
}

TEST(HitsFile, KeepsTwentyLinesReadableByItsOwnerOnly) {
    test::TempFolder folder;
    const std::string path = folder / "hits";
    HitsFile hits(path);
    std::string expected;
    for (int i = 0; i < 21; ++i) {
        hits.record("h" + std::to_string(i) + ".example", t0);
        if (i >= 1) expected += "1800000000 h" + std::to_string(i) + ".example\n";
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0600u);
    }
    EXPECT_EQ(read(path), expected);
    EXPECT_EQ(hits.lines().size(), 20u);
}

// The helper runs as root and writes the file for the user it serves, who alone reads it.
TEST(HitsFile, BelongsToTheUserItIsFor) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file away needs root";
    test::TempFolder folder;
    const std::string path = folder / "hits";
    HitsFile hits(path, 65534);
    for (const char* host : {"a.example", "b.example"}) {
        hits.record(host, t0);
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 65534u) << host;
        EXPECT_EQ(st.st_mode & 07777, 0600u) << host;
    }
    EXPECT_EQ(read(path), "1800000000 a.example\n1800000000 b.example\n");
}

TEST(HitsFile, UnwritableFolderSkipsThenCatchesUp) {
    test::TempFolder folder;
    const std::string path = folder / "later/hits";  // the folder does not exist yet
    HitsFile hits(path);
    EXPECT_TRUE(hits.record("a.example", t0));
    EXPECT_EQ(read(path), "<missing>");
    ASSERT_EQ(::mkdir((folder / "later").c_str(), 0755), 0);
    hits.record("b.example", t0);
    EXPECT_EQ(read(path), "1800000000 a.example\n1800000000 b.example\n");
    EXPECT_EQ(read(path + ".new"), "<missing>");
}

// An earlier run's file is started over; a stale ".new" link is replaced, never followed.
TEST(HitsFile, StartsOverAndNeverFollowsALink) {
    test::TempFolder folder;
    const std::string path = folder / "hits", target = folder / "target";
    ASSERT_TRUE(writeAtomically(path, "1 old.example\n2 older.example\n").ok());
    ASSERT_TRUE(writeAtomically(target, "keep\n").ok());
    ASSERT_EQ(::symlink(target.c_str(), (path + ".new").c_str()), 0);
    HitsFile hits(path);
    hits.record("a.example", t0);
    EXPECT_EQ(read(path), "1800000000 a.example\n");
    EXPECT_EQ(read(target), "keep\n");
}

TEST(HitsFile, RecentStaysBoundedUnderAFloodOfNames) {
    test::TempFolder folder;
    HitsFile hits(folder / "hits");
    size_t most = 0;
    for (int i = 0; i < 6000; ++i) {
        hits.record("n" + std::to_string(i) + ".example", t0 + milliseconds(i / 4));  // 4000/s
        most = std::max(most, hits.remembered());
    }
    EXPECT_LE(most, 10000u);
    // The duplicate window still holds for a recent host.
    EXPECT_FALSE(hits.record("n5999.example", t0 + milliseconds(5999 / 4 + 500)));
    // Old entries go once the map passes its bound.
    for (int i = 0; i < 300; ++i)
        hits.record("late" + std::to_string(i) + ".example", t0 + std::chrono::minutes(5));
    EXPECT_LE(hits.remembered(), 600u);
}

}  // namespace
}  // namespace tarrow
