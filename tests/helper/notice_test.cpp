// The listener over real loopback sockets on free ports of 127.0.0.1.

#include "helper/notice.h"

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <filesystem>
#include <mutex>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>
#include <asio.hpp>

#include "common/file_io.h"
#include "helper/daemon_watch.h"
#include "tests/support/child_descriptors.h"
#include "tests/support/sockets.h"
#include "tests/support/tcp_client.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tls_hello.h"

namespace tarrow {
namespace {

using namespace std::chrono_literals;
using test::Client;

struct LogSink {
    std::mutex mutex;
    std::vector<std::string> lines;
    std::function<void(std::string_view)> writer() {
        return [this](std::string_view line) {
            std::lock_guard lock(mutex);
            lines.emplace_back(line);
        };
    }
    std::vector<std::string> all() {
        std::lock_guard lock(mutex);
        return lines;
    }
};

// The host names of the hits file, each followed by ";".
std::string hitHosts(const std::string& path) {
    std::istringstream text(readRegularFile(path).value_or(""));
    std::string out;
    for (std::string stamp, host; text >> stamp >> host;) out += host + ";";
    return out;
}

std::string request(const std::string& host) {
    return "GET / HTTP/1.1\r\nHost: " + host + "\r\n\r\n";
}

std::vector<std::string> byteByByte(const std::string& bytes) {
    std::vector<std::string> out;
    for (char c : bytes) out.emplace_back(1, c);
    return out;
}

class NoticeTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    LogSink log;
    std::unique_ptr<Notice> notice;
    uint16_t http = 0, https = 0;

    void SetUp() override {
        notice = std::make_unique<Notice>("127.0.0.1", folder / "hits", false,
                                          NoticeSetup{log.writer(), {}, {}, noticeLimits});
        ASSERT_TRUE(notice->start(0, 0));
        http = notice->ports()[0];
        https = notice->ports()[1];
    }
    std::string hits() { return hitHosts(folder / "hits"); }
};

std::string heading(const std::string& answer) {
    size_t start = answer.find("<h1>"), end = answer.find("?<br>");
    return start == std::string::npos || end == std::string::npos
               ? "<no page>"
               : answer.substr(start + 4, end - start - 4);
}

// The plain port answers every request with the page; the TLS port sends nothing.
// Both note valid, unprotected names.
TEST_F(NoticeTest, AnswersEveryRequestAndRecordsNames) {
    using test::clientHelloFor;
    // A head of 32,000 bytes: the first write stays under the 16,383-byte limit, so a
    // second read of up to 16,384 bytes takes the rest.
    std::string big = request("big.example");
    big.insert(big.size() - 2, "X-Pad: " + std::string(32000 - big.size() - 9, 'a') + "\r\n");
    // Past 16,383 bytes after the second read, without a blank line: no name. Both reads
    // take everything sent, so the answer is not lost to a reset.
    std::string endless = "GET / HTTP/1.1\r\nHost: endless.example\r\nX-Pad: ";
    endless.resize(16000 + 16384, 'a');
    struct Case {
        const char* what;
        bool tls;
        std::vector<std::string> pieces;  // sent one after another, a little apart
        std::string heading;              // of the page; none on the TLS port
        std::string hits;
        bool endSending = false;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"host header", false, {request("www.example.com:80")}, "example.com", "www.example.com;"},
        {"one byte at a time", false, byteByByte(request("slow.example")), "slow.example", "slow.example;"},
        {"peer ends without a blank line", false, {"GET / HTTP/1.1\r\nHost: half.example\r\n"}, "This site", "", true},
        {"32,000-byte head in two writes", false, {big.substr(0, 16000), big.substr(16000)}, "big.example", "big.example;"},
        {"32,384 bytes without a blank line", false, {endless.substr(0, 16000), endless.substr(16000)}, "This site", ""},
        {"whole hello", true, {clientHelloFor("tls.example")}, "", "tls.example;"},
        {"hello one byte at a time", true, byteByByte(clientHelloFor("bytes.example")), "", "bytes.example;"},
    };
    // clang-format on
    std::string expectedHits;
    for (const auto& c : cases) {
        Client client(c.tls ? https : http);
        ASSERT_TRUE(client.connected()) << c.what;
        for (const std::string& piece : c.pieces) {
            client.send(piece);
            std::this_thread::sleep_for(c.pieces.size() > 2 ? 1ms : 50ms);
        }
        if (c.endSending) client.endSending();
        auto got = client.receive(2s);
        EXPECT_TRUE(got.closed) << c.what;
        if (c.tls) {
            EXPECT_EQ(got.bytes, "") << c.what;
        } else {
            EXPECT_TRUE(got.bytes.starts_with("HTTP/1.1 403 Forbidden\r\n")) << c.what;
            EXPECT_EQ(heading(got.bytes), c.heading) << c.what;
        }
        expectedHits += c.hits;
    }
    EXPECT_EQ(hits(), expectedHits);
}

// A flood takes every slot; each newcomer then takes a slot of an idle connection (which
// one is the slots' own test), so a client that sends its whole request is answered at once.
TEST_F(NoticeTest, FloodIsCappedAndANewcomerTakesTheIdleLongestSlot) {
    std::vector<Client> flood;
    for (int i = 0; i < 300; ++i) flood.emplace_back(i % 2 ? http : https);
    std::this_thread::sleep_for(500ms);
    TcpCounts counts = notice->counts();
    EXPECT_LE(counts.peak, 64u);
    EXPECT_EQ(counts.open, 64u);
    EXPECT_EQ(counts.refused, 0u);
    EXPECT_EQ(counts.evicted, 236u);

    Client early(http);
    early.send(request("early.example"));
    auto answered = early.receive(1s);
    EXPECT_TRUE(answered.closed);
    EXPECT_EQ(heading(answered.bytes), "early.example");
    EXPECT_LE(notice->counts().peak, 64u);
    EXPECT_EQ(hits(), "early.example;");
}

// Accepting with no descriptors left must wait, not spin: the listener runs in a child
// whose descriptor limit is nearly used up, while the parent keeps connecting.
TEST(NoticeDescriptors, RunningOutPausesAcceptingInsteadOfSpinning) {
    test::TempFolder folder;
    int toParent[2];
    ASSERT_EQ(::pipe(toParent), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Notice notice("127.0.0.1", folder / "hits", false,
                      NoticeSetup{[](std::string_view) {}, {}, {}, noticeLimits});
        if (!notice.start(0, 0)) ::_exit(2);
        size_t used = 0;
        for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
            ++used;
        rlimit limit{used + 2, used + 2};  // room for two connections, then EMFILE
        ::setrlimit(RLIMIT_NOFILE, &limit);
        uint16_t ports[2] = {notice.ports()[0], notice.ports()[1]};
        [[maybe_unused]] auto w = ::write(toParent[1], ports, sizeof ports);
        std::this_thread::sleep_for(500ms);
        rusage before{}, after{};
        ::getrusage(RUSAGE_SELF, &before);
        std::this_thread::sleep_for(2s);
        ::getrusage(RUSAGE_SELF, &after);
        auto ms = [](const rusage& u) {
            return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000 +
                   (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000;
        };
        int64_t cpu = ms(after) - ms(before);
        w = ::write(toParent[1], &cpu, sizeof cpu);
        std::this_thread::sleep_for(4s);  // serve on for the parent's last client
        ::_exit(0);
    }
    ::close(toParent[1]);
    uint16_t ports[2] = {0, 0};
    ASSERT_EQ(::read(toParent[0], ports, sizeof ports), static_cast<ssize_t>(sizeof ports));
    std::vector<Client> clients;
    for (int i = 0; i < 40; ++i) clients.emplace_back(ports[0]);
    int64_t cpu = -1;
    ASSERT_EQ(::read(toParent[0], &cpu, sizeof cpu), static_cast<ssize_t>(sizeof cpu));
    EXPECT_LT(cpu, 300) << "milliseconds of CPU in two seconds without descriptors";

    // Once the held connections end, the listener accepts again.
    clients.clear();
    std::this_thread::sleep_for(1500ms);
    Client late(ports[0]);
    late.send(request("fd.example"));
    auto got = late.receive(3s);
    EXPECT_EQ(heading(got.bytes), "fd.example");
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// Binds a port on 127.0.0.1 and holds it.
struct HeldPort {
    int fd = test::boundSocket(SOCK_STREAM, "127.0.0.1");
    uint16_t port = test::localPort(fd);
    ~HeldPort() { release(); }
    void release() {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
};

struct FakeSteady {
    std::chrono::steady_clock::time_point now = std::chrono::steady_clock::time_point(1h);
    NoticeClock clock() {
        NoticeClock c;
        c.steady = [this] { return now; };
        return c;
    }
};

TEST(NoticeStart, RetryPauseAfterAFailedAttempt) {
    for (bool tlsTaken : {false, true}) {
        test::TempFolder folder;
        LogSink log;
        FakeSteady time;
        HeldPort held;
        HeldPort free;
        const uint16_t freePort = free.port;
        free.release();
        const uint16_t http = tlsTaken ? freePort : held.port, https = tlsTaken ? held.port : 0;
        Notice notice("127.0.0.1", folder / "hits", false,
                      NoticeSetup{log.writer(), time.clock(), {}, noticeLimits});

        EXPECT_FALSE(notice.start(http, https));
        EXPECT_FALSE(notice.hasListeners());
        const size_t logged = log.all().size();
        ASSERT_GT(logged, 0u);
        EXPECT_EQ(log.all().back(), "listener not up, blocking without the note");
        if (tlsTaken) {
            HeldPort check;  // the plain listener of the failed attempt is gone
            EXPECT_NE(check.port, 0);
            Client none(freePort);
            EXPECT_FALSE(none.connected());
        }

        held.release();
        time.now += 30s;
        EXPECT_FALSE(notice.start(http, https));  // within the pause: not even tried
        EXPECT_EQ(log.all().size(), logged);
        time.now += 31s;
        EXPECT_TRUE(notice.start(http, https));
        EXPECT_TRUE(notice.running());
        const auto ports = notice.ports();
        EXPECT_TRUE(notice.start(http, https));  // already running: nothing rebound
        EXPECT_EQ(notice.ports(), ports);
        notice.stop();
        EXPECT_FALSE(notice.hasListeners());
        EXPECT_FALSE(notice.running());
    }
}

;

// The listening socket of a port in this process.
int listeningSocket(uint16_t port) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        int fd = std::stoi(entry.path().filename().string());
        sockaddr_in a{};
        socklen_t size = sizeof a;
        int accepting = 0;
        socklen_t flagSize = sizeof accepting;
        if (::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size) == 0 &&
            a.sin_family == AF_INET && ntohs(a.sin_port) == port &&
            ::getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &accepting, &flagSize) == 0 && accepting)
            return fd;
    }
    return -1;
}

TEST(NoticeBroken, AListenerThatFailsAfterStartIsRebuiltByTheNextStart) {
    test::TempFolder folder;
    LogSink log;
    Notice notice("127.0.0.1", folder / "hits", false,
                  NoticeSetup{log.writer(), {}, {}, noticeLimits});
    ASSERT_TRUE(notice.start(0, 0));
    const uint16_t http = notice.ports()[0], https = notice.ports()[1];
    int fd = listeningSocket(http);
    ASSERT_GE(fd, 0);
    ::shutdown(fd, SHUT_RDWR);  // the pending accept now fails for good
    for (int i = 0; i < 100 && !notice.broken(); ++i) std::this_thread::sleep_for(10ms);
    ASSERT_TRUE(notice.broken());
    EXPECT_FALSE(notice.running());
    EXPECT_TRUE(notice.hasListeners());
    auto lines = log.all();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].starts_with("port " + std::to_string(http) + " on 127.0.0.1: "))
        << lines[0];

    ASSERT_TRUE(notice.start(http, https));  // rebuilt on the same ports
    EXPECT_TRUE(notice.running());
    Client client(http);
    client.send(request("again.example"));
    EXPECT_EQ(heading(client.receive(2s).bytes), "again.example");
}

// The name-cache flush tools run while the listener is up: they must get none of the
// helper's descriptors (listening sockets, a connection in progress, the folder watch).
TEST(NoticeDescriptors, AProgramStartedWhileListeningInheritsNone) {
    test::TempFolder folder;
    const auto before = test::openDescriptors();
    asio::io_context io;
    FolderWatch watch(io, folder.path, [] {});
    ASSERT_TRUE(watch.rewatch());
    Notice notice("127.0.0.1", folder / "hits", false,
                  NoticeSetup{[](std::string_view) {}, {}, {}, noticeLimits});
    ASSERT_TRUE(notice.start(0, 0));
    Client waiting(notice.ports()[0]);
    waiting.send("GET / HTTP/1.1\r\n");  // held open, undecided
    for (int i = 0; i < 200 && notice.counts().open == 0; ++i) std::this_thread::sleep_for(5ms);
    ASSERT_EQ(notice.counts().open, 1u);
    EXPECT_EQ(test::inheritedSince(before), std::set<std::string>{});
}

}  // namespace
}  // namespace tarrow
