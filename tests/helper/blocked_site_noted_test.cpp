// A wanted blocked site is noted: a flood cannot take the listener over, a program it
// starts inherits nothing; the hits file keeps the last twenty names, once a second
// each, never through a link, and remembers a bounded number. (The page and the names of
// plain requests and TLS hellos, and a port taken: the daemon scripts.)

#include "helper/notice.h"

#include <unistd.h>

#include <filesystem>
#include <thread>

#include <gtest/gtest.h>
#include <asio.hpp>

#include "common/file_io.h"
#include "helper/daemon_watch.h"
#include "tests/support/child_descriptors.h"
#include "tests/support/files.h"
#include "tests/support/tcp_client.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

using namespace std::chrono_literals;
using test::Client;
const auto t0 = HitsFile::Clock::time_point(std::chrono::seconds(1800000000));

struct Listening {
    test::TempFolder folder;
    Notice notice{"127.0.0.1", folder / "hits", false,
                  NoticeSetup{[](std::string_view) {}, {}, {}, noticeLimits}};
    Listening() { EXPECT_TRUE(notice.start(0, 0)); }
    uint16_t port(bool tls) { return notice.ports()[tls ? 1 : 0]; }
};

// A flood takes every slot; a newcomer then takes an idle one and is answered at once.
TEST(BlockedSiteNoted, AFloodIsCapped) {
    Listening l;
    std::vector<Client> flood;
    for (int i = 0; i < 300; ++i) flood.emplace_back(l.port(i % 2));
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(std::make_pair(l.notice.counts().open, l.notice.counts().evicted),
              std::make_pair(size_t{64}, size_t{236}));
    Client early(l.port(false));
    early.send("GET / HTTP/1.1\r\nHost: early.example\r\n\r\n");
    EXPECT_NE(early.receive(1s).bytes.find("<h1>early.example?<br>"), std::string::npos);
    EXPECT_LE(l.notice.counts().peak, 64u);
}

// The name-cache flush tools start while the listener is up: they get none of the
// helper's descriptors (listeners, a connection in progress, the folder watch).
TEST(BlockedSiteNoted, AStartedProgramInheritsNoDescriptor) {
    const auto before = test::openDescriptors();
    Listening l;
    asio::io_context io;
    FolderWatch watch(io, l.folder.path, [] {});
    ASSERT_TRUE(watch.rewatch());
    Client waiting(l.port(false));
    waiting.send("GET / HTTP/1.1\r\n");
    for (int i = 0; i < 200 && l.notice.counts().open == 0; ++i) std::this_thread::sleep_for(5ms);
    ASSERT_EQ(l.notice.counts().open, 1u);
    EXPECT_EQ(test::inheritedSince(before), std::set<std::string>{});
}

// Each row starts from an earlier run's file; the last row's 21 names leave the last 20,
// and the temporary name, a link, is not followed.
TEST(HitsFile, NoteOnceASecondTheLastTwentyNeverThroughALink) {
    std::vector<std::pair<std::string, int>> many;
    std::string last20;
    for (int i = 0; i < 21; ++i) many.emplace_back("h" + std::to_string(i) + ".example", 0);
    for (int i = 1; i < 21; ++i) last20 += "1800000000 h" + std::to_string(i) + ".example\n";
    const std::pair<std::vector<std::pair<std::string, int>>, std::string> cases[] = {
        {{{"a.example", 0}, {"a.example", 999}, {"b.example", 10}},
         "1800000000 a.example\n1800000000 b.example\n"},
        {{{"a.example", 1999}, {"a.example", 3000}},
         "1800000001 a.example\n1800000003 a.example\n"},
        {{{"www.apple.com", 0}, {"UPPER.example", 0}, {"ok.example", 0}},
         "1800000000 ok.example\n"},
        {{{"a.example", 5000}, {"a.example", 4500}}, "1800000005 a.example\n"},  // clock set back
        {many, last20},
    };
    for (const auto& [hits, file] : cases) {
        test::TempFolder folder;
        test::writeFile(folder / "hits", "1 earlier.run\n");
        test::writeFile(folder / "target", "keep\n");
        ASSERT_EQ(::symlink((folder / "target").c_str(), (folder / "hits.new").c_str()), 0);
        HitsFile notes(folder / "hits");
        for (const auto& [host, ms] : hits) notes.record(host, t0 + std::chrono::milliseconds(ms));
        EXPECT_EQ(readRegularFile(folder / "hits").value_or(""), file);
        EXPECT_EQ(std::filesystem::status(folder / "hits").permissions(),
                  std::filesystem::perms(0600));
        EXPECT_EQ(readRegularFile(folder / "target").value_or(""), "keep\n");
    }
    // A flood of names (4000 a second) does not grow what is remembered without bound.
    test::TempFolder folder;
    HitsFile notes(folder / "later/hits");  // the folder is not there: nothing written
    size_t most = 0;
    for (int i = 0; i < 6000; ++i) {
        notes.record("n" + std::to_string(i) + ".example", t0 + std::chrono::milliseconds(i / 4));
        most = std::max(most, notes.remembered());
    }
    EXPECT_LE(most, 10000u);
    EXPECT_FALSE(notes.record("n5999.example", t0 + 1999ms));
    for (int i = 0; i < 300; ++i) notes.record("late" + std::to_string(i) + ".example", t0 + 5min);
    EXPECT_LE(notes.remembered(), 600u);
}

}  // namespace
}  // namespace tarrow
