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

// The host names of a hits file, each followed by ";".
std::string hitHosts(const std::string& path) {
    std::istringstream text(readRegularFile(path).value_or(""));
    std::string out;
    for (std::string stamp, host; text >> stamp >> host;) out += host + ";";
    return out;
}

std::string request(const std::string& host) {
    return "GET / HTTP/1.1\r\nHost: " + host + "\r\n\r\n";
}

// The page's heading, or what says there was none.
std::string heading(const std::string& answer) {
    const size_t start = answer.find("<h1>"), end = answer.find("?<br>");
    return start == std::string::npos || end == std::string::npos
               ? "<no page>"
               : answer.substr(start + 4, end - start - 4);
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
    const auto byteByByte = [](const std::string& bytes) {
        std::vector<std::string> out;
        for (char c : bytes) out.emplace_back(1, c);
        return out;
    };
    struct Case {
        bool tls;
        std::vector<std::string> pieces;
        std::string heading;  // none on the TLS port
        std::string hits;
    };
    const Case cases[] = {
        {false, byteByByte(request("slow.example")), "slow.example", "slow.example;"},
        {false, {"GET / HTTP/1.1\r\nHost: half.example\r\n"}, "This site", ""},
        {false, {big.substr(0, 16000), big.substr(16000)}, "big.example", "big.example;"},
        {false, {endless.substr(0, 16000), endless.substr(16000)}, "This site", ""},
        {true, byteByByte(test::clientHelloFor("bytes.example")), "", "bytes.example;"},
    };
    Listening l;
    std::string expectedHits;
    for (const Case& c : cases) {
        Client client(l.port(c.tls));
        for (const std::string& piece : c.pieces) {
            client.send(piece);
            std::this_thread::sleep_for(c.pieces.size() > 2 ? 1ms : 50ms);
        }
        if (c.hits.empty() && c.pieces.size() == 1) client.endSending();
        const auto got = client.receive(2s);
        EXPECT_TRUE(got.closed) << c.hits;
        EXPECT_EQ(c.tls ? got.bytes : heading(got.bytes), c.heading) << c.hits;
        expectedHits += c.hits;
    }
    EXPECT_EQ(hitHosts(l.folder / "hits"), expectedHits);
}

// A flood takes every slot; a newcomer then takes an idle one and is answered at once.
TEST(BlockedSiteNoted, AFloodIsCapped) {
    Listening l;
    std::vector<Client> flood;
    for (int i = 0; i < 300; ++i) flood.emplace_back(l.port(i % 2));
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(l.notice.counts().open, 64u);
    EXPECT_EQ(l.notice.counts().evicted, 236u);
    Client early(l.port(false));
    early.send(request("early.example"));
    EXPECT_EQ(heading(early.receive(1s).bytes), "early.example");
    EXPECT_LE(l.notice.counts().peak, 64u);
}

// A port taken: the attempt fails whole (its other listener goes), the next is not tried
// within the pause, and succeeds after it.
TEST(BlockedSiteNoted, AFailedStartIsRetriedAfterAPause) {
    test::TempFolder folder;
    std::vector<std::string> log;  // start() logs on the calling thread
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
    EXPECT_FALSE(notice.hasListeners());
    EXPECT_FALSE(Client(http).connected());
    EXPECT_EQ(log.back(), "listener not up, blocking without the note");
    const size_t logged = log.size();
    ::close(held);
    now += 30s;
    EXPECT_FALSE(notice.start(http, https));
    EXPECT_EQ(log.size(), logged);
    now += 31s;
    EXPECT_TRUE(notice.start(http, https));
    EXPECT_TRUE(notice.running());
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

TEST(HitsFile, NoteOnceASecondTheLastTwentyNeverThroughALink) {
    const auto t0 = HitsFile::Clock::time_point(std::chrono::seconds(1800000000));
    const std::pair<std::vector<std::pair<std::string, int>>, std::string> cases[] = {
        {{{"a.example", 0}, {"a.example", 999}, {"b.example", 10}},
         "1800000000 a.example\n1800000000 b.example\n"},
        {{{"a.example", 1999}, {"a.example", 3000}},
         "1800000001 a.example\n1800000003 a.example\n"},
        {{{"www.apple.com", 0}, {"UPPER.example", 0}, {"ok.example", 0}},
         "1800000000 ok.example\n"},
        {{{"a.example", 5000}, {"a.example", 4500}}, "1800000005 a.example\n"},  // clock set back
    };
    for (const auto& [hits, file] : cases) {
        test::TempFolder folder;
        test::writeFile(folder / "hits", "1 earlier.run\n");
        HitsFile notes(folder / "hits");
        for (const auto& [host, ms] : hits) notes.record(host, t0 + std::chrono::milliseconds(ms));
        EXPECT_EQ(readRegularFile(folder / "hits").value_or(""), file);
    }
    test::TempFolder folder;
    test::writeFile(folder / "target", "keep\n");
    ASSERT_EQ(::symlink((folder / "target").c_str(), (folder / "hits.new").c_str()), 0);
    HitsFile notes(folder / "hits");
    std::string last20;
    for (int i = 0; i < 21; ++i) {
        notes.record("h" + std::to_string(i) + ".example", t0);
        if (i >= 1) last20 += "1800000000 h" + std::to_string(i) + ".example\n";
    }
    EXPECT_EQ(readRegularFile(folder / "hits").value_or(""), last20);
    EXPECT_EQ(std::filesystem::status(folder / "hits").permissions(), std::filesystem::perms(0600));
    EXPECT_EQ(readRegularFile(folder / "target").value_or(""), "keep\n");
}

// A flood of names (4000 a second) does not grow what is remembered without bound.
TEST(HitsFile, RememberedStaysBounded) {
    test::TempFolder folder;
    const auto t0 = HitsFile::Clock::time_point(std::chrono::seconds(1800000000));
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
