// The block-notice listener: parser speed, short plain-port connections per second on
// loopback (client threads on the same cores), and how long a burst of 100 simultaneous
// connections takes to be answered in full.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fcntl.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <thread>

#include <benchmark/benchmark.h>

#include "common/block_page.h"
#include "common/sniff.h"
#include "helper/notice.h"
#include "tests/support/tls_hello.h"

namespace {

using namespace tarrow;

const std::string request = "GET / HTTP/1.1\r\nHost: www.example.com\r\nUser-Agent: bench\r\n\r\n";

void BM_ClientHelloHost(benchmark::State& state) {
    const std::string hello = test::clientHelloFor("www.example.com");
    for (auto _ : state) benchmark::DoNotOptimize(clientHelloHost(hello));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * hello.size()));
}
BENCHMARK(BM_ClientHelloHost);

void BM_HttpHost(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(httpHost(request));
}
BENCHMARK(BM_HttpHost);

// One listener for the whole run, on free ports of 127.0.0.1.
Notice& listener() {
    static const std::string folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarrow-bench-XXXXXX").string();
        return std::string(::mkdtemp(pattern.data()));
    }();
    static Notice notice("127.0.0.1", folder + "/hits", false,
                         NoticeSetup{[](std::string_view) {}, {}, {}, noticeLimits});
    static bool started = notice.start(0, 0);
    (void)started;
    return notice;
}

int connectTo(uint16_t port, bool blocking) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | (blocking ? 0 : SOCK_NONBLOCK), 0);
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 && errno != EINPROGRESS) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads to the end; the answer's size, or -1 when the connection failed.
ssize_t drain(int fd) {
    char buffer[4096];
    ssize_t total = 0;
    while (true) {
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n == 0) return total;
        if (n < 0) return errno == EINTR ? total : -1;
        total += n;
    }
}

// For comparison under the same load: the least a server can do per connection, one
// epoll loop that accepts, reads once, answers with a fixed text and closes.
uint16_t bareEpollServer() {
    static const uint16_t port = [] {
        int listening = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        int one = 1;
        ::setsockopt(listening, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        ::bind(listening, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(listening, SOMAXCONN);
        ::getsockname(listening, reinterpret_cast<sockaddr*>(&a), &size);
        std::thread([listening] {
            const std::string answer = blockAnswer(std::string("www.example.com"));
            int poller = ::epoll_create1(EPOLL_CLOEXEC);
            epoll_event event{EPOLLIN, {.fd = listening}};
            ::epoll_ctl(poller, EPOLL_CTL_ADD, listening, &event);
            epoll_event ready[64];
            char buffer[16384];
            while (true) {
                int n = ::epoll_wait(poller, ready, 64, -1);
                for (int i = 0; i < n; ++i) {
                    int fd = ready[i].data.fd;
                    if (fd == listening) {
                        int client;
                        while ((client = ::accept4(listening, nullptr, nullptr, SOCK_NONBLOCK)) >=
                               0) {
                            epoll_event e{EPOLLIN, {.fd = client}};
                            ::epoll_ctl(poller, EPOLL_CTL_ADD, client, &e);
                        }
                        continue;
                    }
                    if (::recv(fd, buffer, sizeof buffer, 0) > 0)
                        ::send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
                    ::close(fd);
                }
            }
        }).detach();
        return ntohs(a.sin_port);
    }();
    return port;
}

void shortConnections(benchmark::State& state, uint16_t port) {
    int64_t answered = 0, failed = 0;
    for (auto _ : state) {
        int fd = connectTo(port, true);
        if (fd < 0 || ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) < 0) {
            ++failed;
        } else if (drain(fd) > 0) {
            ++answered;
        } else {
            ++failed;
        }
        if (fd >= 0) ::close(fd);
    }
    state.SetItemsProcessed(answered);
    state.counters["failed"] = static_cast<double>(failed);
}

void BM_PlainConnections(benchmark::State& state) {
    shortConnections(state, listener().ports()[0]);
}
BENCHMARK(BM_PlainConnections)->Threads(1)->Threads(2)->Threads(4)->UseRealTime()->MinTime(2.0);

void BM_BareEpollBaseline(benchmark::State& state) {
    shortConnections(state, bareEpollServer());
}
BENCHMARK(BM_BareEpollBaseline)->Threads(1)->Threads(2)->Threads(4)->UseRealTime()->MinTime(2.0);

// 100 connections at once. Argument 0: all connect first and send when writable (the
// server sees 100 silent connections, more than its limit of 64); argument 1: each sends
// its request right after connecting, as a browser sends its first bytes.
void BM_Burst100(benchmark::State& state) {
    const uint16_t port = listener().ports()[0];
    const bool sendAtOnce = state.range(0) == 1;
    int64_t unanswered = 0;
    for (auto _ : state) {
        std::vector<int> fds;
        for (int i = 0; i < 100; ++i) {
            int fd = connectTo(port, !sendAtOnce);
            if (sendAtOnce && fd >= 0) {
                ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
                ::fcntl(fd, F_SETFL, O_NONBLOCK);
            }
            if (!sendAtOnce && fd >= 0) ::fcntl(fd, F_SETFL, O_NONBLOCK);
            fds.push_back(fd);
        }
        std::vector<pollfd> waiting;
        for (int fd : fds)
            waiting.push_back({fd, static_cast<short>(sendAtOnce ? POLLIN : POLLOUT), 0});
        std::vector<bool> sent(fds.size(), sendAtOnce);
        std::vector<size_t> got(fds.size(), 0);
        size_t open = fds.size();
        while (open > 0) {
            if (::poll(waiting.data(), waiting.size(), 2000) <= 0) break;
            for (size_t i = 0; i < waiting.size(); ++i) {
                pollfd& p = waiting[i];
                if (p.fd < 0 || p.revents == 0) continue;
                if (!sent[i] && (p.revents & POLLOUT)) {
                    ::send(p.fd, request.data(), request.size(), MSG_NOSIGNAL);
                    sent[i] = true;
                    p.events = POLLIN;
                    continue;
                }
                char buffer[4096];
                ssize_t n = ::recv(p.fd, buffer, sizeof buffer, 0);
                if (n > 0) {
                    got[i] += static_cast<size_t>(n);
                } else if (n == 0 || errno != EAGAIN) {
                    ::close(p.fd);
                    p.fd = -1;
                    --open;
                }
            }
        }
        for (size_t i = 0; i < fds.size(); ++i) {
            if (got[i] == 0) ++unanswered;
            if (waiting[i].fd >= 0) ::close(waiting[i].fd);
        }
    }
    state.counters["unanswered_per_burst"] =
        benchmark::Counter(static_cast<double>(unanswered), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Burst100)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
