// A wanted blocked site is noted: the listener answers every plain request with the page
// and notes the name of a plain request or a TLS hello, whatever the pieces it comes in;
// a flood cannot take it over, a port taken is tried again after a pause, a program it
// starts inherits nothing; the hits file keeps the last twenty names, once a second
// each, never through a link, and remembers a bounded number.

#include "helper/notice.h"

#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>
#include <asio.hpp>

#include "common/file_io.h"
#include "helper/daemon_watch.h"
#include "tests/support/child_descriptors.h"
#include "tests/support/files.h"
#include "tests/support/sockets.h"
#include "tests/support/tcp_client.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tls_hello.h"

namespace tarrow {
namespace {

using namespace std::chrono_literals;
using test::Client;
const auto t0 = HitsFile::Clock::time_point(std::chrono::seconds(1800000000));

std::string request(const std::string& host) {
    return "GET / HTTP/1.1\r\nHost: " + host + "\r\n\r\n";
}

// The page's heading, or what says there was none.
std::string heading(const std::string& answer) {
    const size_t start = answer.find("<h1>"), end = answer.find("?<br>");
    return end == std::string::npos ? "<no page>" : answer.substr(start + 4, end - start - 4);
}

struct Listening {
    test::TempFolder folder;
    Notice notice{"127.0.0.1", folder / "hits", false,
                  NoticeSetup{[](std::string_view) {}, {}, {}, noticeLimits}};
    Listening() { EXPECT_TRUE(notice.start(0, 0)); }
    uint16_t port(bool tls) { return notice.ports()[tls ? 1 : 0]; }
};

TEST(BlockedSiteNoted, EveryRequestAnsweredAndNamesNoted) {
    std::string big = request("big.example");  // 32,000 bytes: a second read takes the rest
    big.insert(big.size() - 2, "X-Pad: " + std::string(32000 - big.size() - 9, 'a') + "\r\n");
    std::string endless = "GET / HTTP/1.1\r\nHost: endless.example\r\nX-Pad: ";
    endless.resize(16000 + 16384, 'a');  // past the limit without a blank line: no name
    const auto split = [](const std::string& bytes, size_t size) {
        std::vector<std::string> out;
        for (size_t at = 0; at < bytes.size(); at += size) out.push_back(bytes.substr(at, size));
        return out;
    };
    const std::tuple<bool, std::vector<std::string>, std::string> cases[] = {
        {false, split(request("slow.example"), 1), "slow.example"},
        {false, {"GET / HTTP/1.1\r\nHost: half.example\r\n"}, "This site"},  // then the end
        {false, split(big, 16000), "big.example"},
        {false, split(endless, 16000), "This site"},
        {true, split(test::clientHelloFor("bytes.example"), 1), ""},  // no page on TLS
    };
    Listening l;
    for (const auto& [tls, pieces, expected] : cases) {
        Client client(l.port(tls));
        for (const std::string& piece : pieces) {
            client.send(piece);
            std::this_thread::sleep_for(pieces.size() > 2 ? 1ms : 50ms);
        }
        if (pieces.size() == 1) client.endSending();
        const auto got = client.receive(2s);
        EXPECT_TRUE(got.closed) << expected;
        EXPECT_EQ(tls ? got.bytes : heading(got.bytes), expected);
    }
    std::istringstream hits(readRegularFile(l.folder / "hits").value_or(""));
    std::string noted;
    for (std::string stamp, host; hits >> stamp >> host;) noted += host + ";";
    EXPECT_EQ(noted, "slow.example;big.example;bytes.example;");
}

// A flood takes every slot; a newcomer then takes an idle one and is answered at once.
TEST(BlockedSiteNoted, AFloodIsCapped) {
    Listening l;
    std::vector<Client> flood;
    for (int i = 0; i < 300; ++i) flood.emplace_back(l.port(i % 2));
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(std::make_pair(l.notice.counts().open, l.notice.counts().evicted),
              std::make_pair(size_t{64}, size_t{236}));
    Client early(l.port(false));
    early.send(request("early.example"));
    EXPECT_EQ(heading(early.receive(1s).bytes), "early.example");
    EXPECT_LE(l.notice.counts().peak, 64u);
}

// A port taken: the attempt fails whole (its other listener goes), the next is not tried
// within the pause (nothing logged), and succeeds after it.
TEST(BlockedSiteNoted, AFailedStartIsRetriedAfterAPause) {
    test::TempFolder folder;
    std::vector<std::string> log;
    auto now = std::chrono::steady_clock::time_point(1h);
    NoticeClock clock;
    clock.steady = [&] { return now; };
    const int held = test::boundSocket(SOCK_STREAM, "127.0.0.1");
    const int free = test::boundSocket(SOCK_STREAM, "127.0.0.1");
    const uint16_t https = test::localPort(held), http = test::localPort(free);
    ::close(free);
    Notice notice(
        "127.0.0.1", folder / "hits", false,
        NoticeSetup{[&](std::string_view l) { log.emplace_back(l); }, clock, {}, noticeLimits});
    EXPECT_FALSE(notice.start(http, https));
    EXPECT_FALSE(notice.hasListeners() || Client(http).connected());
    EXPECT_EQ(log.back(), "listener not up, blocking without the note");
    const size_t logged = log.size();
    ::close(held);
    now += 30s;
    EXPECT_FALSE(notice.start(http, https));
    EXPECT_EQ(log.size(), logged);
    now += 31s;
    EXPECT_TRUE(notice.start(http, https) && notice.running());
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
