// How long a well-formed client waits for the two small servers while another local
// user floods them: the helper's listener (plain and TLS port of one address, 64 shared
// slots) and the app's page server (32 slots).
//
//   build/bin/bench_flood
// The flood runs in a child process, as user nobody when started as root: 1,000
// connections that reconnect as soon as they are closed, either silent or sending one
// byte a second each (slowloris). Meanwhile a probe connects every 50 ms and sends a
// whole request (a head with a Host header, a ClientHello, or a /status request).
// Figures: p50_ms, p99_ms and max_ms of the probes' waits for their answer (a probe that
// gets none counts as 3,000 ms), answered_500ms (share answered within 500 ms) and the
// connections the flood opened per second.

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>
#include <unordered_map>
#include <vector>

#include "app/browser/page_server.h"
#include "helper/notice.h"
#include "tests/support/tls_hello.h"

namespace tarrow {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int floodConnections = 1000;
constexpr auto floodWarmUp = 1s;
constexpr auto probing = 5s;
constexpr auto probeEvery = 50ms;
constexpr auto probeLimit = 3000ms;

sockaddr_in loopback(const char* address, uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    ::inet_pton(AF_INET, address, &a.sin_addr);
    return a;
}

// The flood: keeps `floodConnections` connections open to the targets, reconnecting each
// one as soon as the server closes it. With drip, each connection sends one byte a second.
// Runs until killed; writes the connections opened to `report` every 100 ms.
[[noreturn]] void flood(const std::vector<sockaddr_in>& targets, bool drip, int report) {
    rlimit files{floodConnections + 64, floodConnections + 64};
    ::setrlimit(RLIMIT_NOFILE, &files);
    if (::getuid() == 0) {  // another user, as a hostile local process would be
        [[maybe_unused]] int g = ::setgid(65534);
        [[maybe_unused]] int u = ::setuid(65534);
    }
    int epoll = ::epoll_create1(EPOLL_CLOEXEC);
    std::unordered_map<int, size_t> target;  // socket -> index into targets
    uint64_t opened = 0;
    auto open = [&](size_t which) {
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) return;
        const sockaddr_in& a = targets[which % targets.size()];
        ::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a);
        epoll_event e{};
        e.events = EPOLLIN | EPOLLRDHUP;
        e.data.fd = fd;
        ::epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &e);
        target[fd] = which;
        ++opened;
    };
    for (size_t i = 0; i < floodConnections; ++i) open(i);
    auto lastDrip = Clock::now(), lastReport = Clock::now();
    epoll_event events[256];
    while (true) {
        int n = ::epoll_wait(epoll, events, 256, 10);
        for (int i = 0; i < n; ++i) {
            int fd = events[i].data.fd;
            char sink[4096];
            ssize_t got = ::recv(fd, sink, sizeof sink, 0);
            if (got > 0 && !(events[i].events & (EPOLLRDHUP | EPOLLHUP | EPOLLERR))) continue;
            if (got < 0 && errno == EAGAIN && !(events[i].events & (EPOLLHUP | EPOLLERR))) continue;
            size_t which = target[fd];
            target.erase(fd);
            ::close(fd);
            open(which);
        }
        const auto now = Clock::now();
        if (drip && now - lastDrip >= 1s) {
            for (const auto& [fd, which] : target) ::send(fd, "G", 1, MSG_NOSIGNAL);
            lastDrip = now;
        }
        if (now - lastReport >= 100ms) {
            [[maybe_unused]] auto w = ::write(report, &opened, sizeof opened);
            lastReport = now;
        }
    }
}

struct Flood {
    pid_t pid = -1;
    int report = -1;
    Flood(const std::vector<sockaddr_in>& targets, bool drip) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
        pid = ::fork();
        if (pid == 0) {
            ::close(fds[0]);
            flood(targets, drip, fds[1]);
        }
        ::close(fds[1]);
        report = fds[0];
    }
    // Connections opened so far (the last figure the flood reported).
    uint64_t opened() {
        uint64_t last = 0, value = 0;
        while (::read(report, &value, sizeof value) == ssize_t(sizeof value)) last = value;
        return last;
    }
    ~Flood() {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        if (report >= 0) ::close(report);
    }
};

// One probe: connect, send the request whole, wait until the server closes. It counts as
// answered when the answer begins with `expected`, or, with nothing expected (the TLS
// port sends nothing), when the server closed cleanly after reading: a connection
// closed unread ends with a reset instead. The wait from the start of the connect;
// probeLimit when no answer came in time.
std::chrono::duration<double, std::milli> probe(const sockaddr_in& to, const std::string& bytes,
                                                const std::string& expected) {
    const auto start = Clock::now();
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    bool answered = false;
    std::string got;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0 &&
        ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size())) {
        while (Clock::now() - start < probeLimit) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                probeLimit - (Clock::now() - start));
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, int(left.count())) <= 0) break;
            char sink[8192];
            ssize_t n = ::recv(fd, sink, sizeof sink, 0);
            if (n > 0) {
                got.append(sink, size_t(n));
                continue;
            }
            answered = n == 0 && got.starts_with(expected);
            break;
        }
    }
    ::close(fd);
    if (!answered) return probeLimit;
    return Clock::now() - start;
}

struct Probe {
    sockaddr_in to;
    std::string bytes;
    std::string expected;  // the answer's first bytes
};

void measure(benchmark::State& state, const std::vector<sockaddr_in>& targets,
             const std::vector<Probe>& probes) {
    const bool drip = state.range(0) == 1;
    for (auto _ : state) {
        Flood flooding(targets, drip);
        std::this_thread::sleep_for(floodWarmUp);
        const uint64_t openedBefore = flooding.opened();
        std::vector<double> waits;
        const auto end = Clock::now() + probing;
        for (size_t i = 0; Clock::now() < end; ++i) {
            const Probe& p = probes[i % probes.size()];
            waits.push_back(probe(p.to, p.bytes, p.expected).count());
            std::this_thread::sleep_for(probeEvery);
        }
        const uint64_t opened = flooding.opened() - openedBefore;
        std::sort(waits.begin(), waits.end());
        auto at = [&](double q) {
            return waits[std::min(waits.size() - 1, size_t(q * waits.size()))];
        };
        state.counters["probes"] = double(waits.size());
        state.counters["p50_ms"] = at(0.5);
        state.counters["p99_ms"] = at(0.99);
        state.counters["max_ms"] = waits.back();
        state.counters["answered_500ms"] =
            double(std::count_if(waits.begin(), waits.end(), [](double w) { return w <= 500; })) /
            double(waits.size());
        state.counters["flood_conn_per_s"] =
            double(opened) / std::chrono::duration<double>(probing).count();
    }
}

// Both servers: a silent flood and a dripping one, each measured once in real time.
void floodRuns(benchmark::internal::Benchmark* runs) {
    runs->ArgName("drip")->Arg(0)->Arg(1)->Iterations(1)->UseRealTime()->Unit(
        benchmark::kMillisecond);
}

// The helper's listener on 127.0.0.2, both ports flooded, probes alternating between
// a plain request and a ClientHello.
void BM_NoticeUnderFlood(benchmark::State& state) {
    std::string folder = "/tmp/bench_flood_hits";
    Notice notice("127.0.0.2", folder, false,
                  NoticeSetup{[](std::string_view) {}, {}, {}, noticeLimits});
    if (!notice.start(0, 0)) {
        state.SkipWithError("cannot listen on 127.0.0.2");
        return;
    }
    const auto plain = loopback("127.0.0.2", notice.ports()[0]);
    const auto tls = loopback("127.0.0.2", notice.ports()[1]);
    measure(state, {plain, tls},
            {{plain, "GET / HTTP/1.1\r\nHost: probe.example\r\n\r\n", "HTTP/1.1 403"},
             {tls, test::clientHelloFor("probe.example"), ""}});
    notice.stop();
    ::unlink(folder.c_str());
}
BENCHMARK(BM_NoticeUnderFlood)->Apply(floodRuns);

// The app's page server, probed with the block page's /status request.
void BM_PageServerUnderFlood(benchmark::State& state) {
    int holder = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a = loopback("127.0.0.1", 0);
    socklen_t size = sizeof a;
    ::bind(holder, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(holder, reinterpret_cast<sockaddr*>(&a), &size);
    ::close(holder);  // a free port for the server
    const std::string hosts = "/tmp/bench_flood_hosts";
    std::ofstream(hosts) << "127.0.0.1 localhost\n";
    PageServerSetup setup;
    setup.onMain = [](std::function<void()> job) { job(); };
    setup.log = [](const std::string&) {};
    setup.hostsPath = hosts;
    setup.ports = PagePorts{ntohs(a.sin_port), 1};
    PageServer pages(std::move(setup));
    if (!pages.start()) {
        state.SkipWithError("no port");
        return;
    }
    const auto to = loopback("127.0.0.1", *pages.port());
    measure(state, {to},
            {{to,
              "GET /status?t=" + pages.token() +
                  " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(*pages.port()) + "\r\n\r\n",
              "HTTP/1.1 200"}});
    ::unlink(hosts.c_str());
}
BENCHMARK(BM_PageServerUnderFlood)->Apply(floodRuns);

}  // namespace
}  // namespace tarrow

BENCHMARK_MAIN();
