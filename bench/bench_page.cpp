// The block page server: the cost of answering, requests per second over loopback, and
// how long the main thread is held up while a client loads the server.
//
//   build/bin/bench_page
// Figures: items_per_second of BM_StatusOverLoopback (the target is at least 2,000 per
// second), and the counters of BM_MainThreadUnderLoad (longest gap between two ticks of
// a 1 ms main-thread timer while 0, 1 or 4 clients ask for /status and /blocked; the run
// with no client is the baseline of the machine at that moment).

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/browser/browser_page.h"
#include "app/browser/page_routes.h"
#include "app/browser/page_server.h"
#include "common/hosts_section.h"

namespace tarrow {
namespace {

// A hosts file like a real one while blocking: a few system lines and a section.
std::string hostsFixture() {
    static const std::string path = [] {
        std::string file = std::filesystem::temp_directory_path() / "bench_page_hosts";
        std::vector<std::string> names;
        for (int i = 0; i < 300; ++i) names.push_back("site" + std::to_string(i) + ".example");
        std::ofstream(file) << hostsFile("127.0.0.1 localhost\n::1 localhost\n", names);
        return file;
    }();
    return path;
}

QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "bench_page";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);  // lives to the end
    return *app;
}

// One request on a fresh connection; true when an answer came back.
bool ask(uint16_t port, const std::string& request) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool answered = false;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        send(fd, request.data(), request.size(), MSG_NOSIGNAL) == ssize_t(request.size())) {
        char buffer[8192];
        ssize_t n;
        while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0) answered = true;
    }
    close(fd);
    return answered;
}

std::unique_ptr<PageServer> server() {
    PageServerSetup setup;
    setup.onMain = [](std::function<void()> job) {
        QMetaObject::invokeMethod(&application(), std::move(job), Qt::QueuedConnection);
    };
    setup.log = [](const std::string&) {};
    setup.hostsPath = hostsFixture();
    setup.ports = PagePorts{uint16_t(30000 + getpid() % 1000 * 10), 10};
    auto pages = std::make_unique<PageServer>(std::move(setup));
    PageServer* raw = pages.get();
    pages->setPage([raw](const std::string& site, const std::string& back) {
        return browserPage(site, "until 12:00, on schedule", back, raw->token());
    });
    pages->start();
    return pages;
}

std::string statusRequest(const PageServer& pages) {
    return "GET /status?t=" + pages.token() +
           " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(*pages.port()) + "\r\n\r\n";
}

void BM_RouteStatus(benchmark::State& state) {
    PageSetup setup{47110, std::string(32, 'a'), hostsFixture(), ""};
    const std::string request =
        "GET /status?t=" + setup.token + " HTTP/1.1\r\nHost: 127.0.0.1:47110\r\n\r\n";
    for (auto _ : state) benchmark::DoNotOptimize(route(request, setup));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RouteStatus);

void BM_BrowserPage(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(browserPage("YouTube", "until 12:00, on schedule",
                                             "https://www.youtube.com/watch?v=1",
                                             std::string(32, 'a')));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BrowserPage);

// Sequential requests, one connection each, as the page's polling makes them.
void BM_StatusOverLoopback(benchmark::State& state) {
    application();
    auto pages = server();
    if (!pages->port()) {
        state.SkipWithError("no port");
        return;
    }
    const std::string request = statusRequest(*pages);
    int failed = 0;
    for (auto _ : state) failed += ask(*pages->port(), request) ? 0 : 1;
    state.SetItemsProcessed(state.iterations());
    state.counters["failed"] = failed;
}
BENCHMARK(BM_StatusOverLoopback)->UseRealTime()->MinTime(2.0);

// Clients hammer /status and /blocked for two seconds while the main thread runs its
// event loop with a 1 ms timer; the longest gap between two timer ticks is the longest
// the main thread was held up (page HTML is made there).
void BM_MainThreadUnderLoad(benchmark::State& state) {
    application();
    const int clients = int(state.range(0));
    for (auto _ : state) {
        auto pages = server();
        if (!pages->port()) {
            state.SkipWithError("no port");
            return;
        }
        const std::string status = statusRequest(*pages);
        const std::string page =
            "GET /blocked?site=youtube.com&back=https%3A%2F%2Fyoutube.com "
            "HTTP/1.1\r\nHost: 127.0.0.1:" +
            std::to_string(*pages->port()) + "\r\n\r\n";
        std::atomic<bool> stop{false};
        std::atomic<long> answered{0};
        std::vector<std::thread> load;
        for (int c = 0; c < clients; ++c) {
            load.emplace_back([&, c] {
                for (long i = 0; !stop; ++i) {
                    if (ask(*pages->port(), (i + c) % 4 == 0 ? page : status)) ++answered;
                }
            });
        }
        QElapsedTimer since;
        since.start();
        qint64 last = 0, longest = 0;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = since.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
            if (now > 2'000'000'000) QCoreApplication::quit();
        });
        tick.start(1);
        QCoreApplication::exec();
        stop = true;
        for (auto& t : load) t.join();
        state.counters["longest_gap_ms"] = double(longest) / 1e6;
        state.counters["requests_per_s"] = double(answered) / 2.0;
    }
}
BENCHMARK(BM_MainThreadUnderLoad)->Arg(0)->Arg(1)->Arg(4)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace tarrow

BENCHMARK_MAIN();
