// The page server's /status answer over a large hosts file (5 MB of foreign lines plus
// a section), as a token holder polling as fast as it can would make it work.
//
//   build/bin/bench_status
// Figures: items_per_second of BM_RouteStatus (one answer made, no network), and for
// BM_StatusPolled: answers_per_s over loopback and server_cpu_per_s, the seconds of CPU
// the server process spent per second of polling (the client runs in another process).

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "app/browser/page_routes.h"
#include "app/browser/page_server.h"
#include "common/hosts_section.h"

namespace tarrow {
namespace {

using Clock = std::chrono::steady_clock;

// About 5 MB of foreign lines (a large ad-blocking list) and a section of 300 names.
const std::string& bigHosts() {
    static const std::string path = [] {
        std::string foreign = "127.0.0.1 localhost\n::1 localhost\n";
        for (int i = 0; foreign.size() < 5'000'000; ++i)
            foreign += "0.0.0.0 tracker" + std::to_string(i) + ".ads.example.net\n";
        std::vector<std::string> names;
        for (int i = 0; i < 300; ++i) names.push_back("site" + std::to_string(i) + ".example");
        const std::string file = "/tmp/bench_status_hosts";
        std::ofstream(file) << hostsFile(foreign, names);
        return file;
    }();
    return path;
}

double cpuSeconds() {
    rusage use{};
    ::getrusage(RUSAGE_SELF, &use);
    return double(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
           double(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

bool ask(uint16_t port, const std::string& request) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool answered = false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) == ssize_t(request.size())) {
        char sink[4096];
        std::string got;
        for (ssize_t n; (n = ::recv(fd, sink, sizeof sink, 0)) > 0;) got.append(sink, size_t(n));
        answered = got.ends_with("blocked");
    }
    ::close(fd);
    return answered;
}

void BM_RouteStatus(benchmark::State& state) {
    PageSetup setup{47110, std::string(32, 'a'), bigHosts(), ""};
    const std::string request =
        "GET /status?t=" + setup.token + " HTTP/1.1\r\nHost: 127.0.0.1:47110\r\n\r\n";
    for (auto _ : state) benchmark::DoNotOptimize(route(request, setup));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RouteStatus);

// A client process asks /status back to back for five seconds.
void BM_StatusPolled(benchmark::State& state) {
    PageServerSetup setup;
    setup.onMain = [](std::function<void()> job) { job(); };
    setup.log = [](const std::string&) {};
    setup.hostsPath = bigHosts();
    setup.ports = PagePorts{uint16_t(31000 + ::getpid() % 1000 * 10), 10};
    PageServer pages(std::move(setup));
    if (!pages.start()) {
        state.SkipWithError("no port");
        return;
    }
    const std::string request = "GET /status?t=" + pages.token() +
                                " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(*pages.port()) +
                                "\r\n\r\n";
    constexpr auto polling = std::chrono::seconds(5);
    for (auto _ : state) {
        int counts[2];
        if (::pipe(counts) != 0) return;
        const double cpuBefore = cpuSeconds();
        pid_t client = ::fork();
        if (client == 0) {
            long answered = 0;
            const auto end = Clock::now() + polling;
            while (Clock::now() < end) answered += ask(*pages.port(), request) ? 1 : 0;
            [[maybe_unused]] auto w = ::write(counts[1], &answered, sizeof answered);
            ::_exit(0);
        }
        ::close(counts[1]);
        long answered = 0;
        [[maybe_unused]] auto r = ::read(counts[0], &answered, sizeof answered);
        ::close(counts[0]);
        ::waitpid(client, nullptr, 0);
        const double seconds = std::chrono::duration<double>(polling).count();
        state.counters["answers_per_s"] = double(answered) / seconds;
        state.counters["server_cpu_per_s"] = (cpuSeconds() - cpuBefore) / seconds;
    }
}
BENCHMARK(BM_StatusPolled)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarrow

BENCHMARK_MAIN();
