// The app's five-second tick at a large size: 200 sites, 20 schedules and a hosts file
// of 150,000 lines whose section blocks what is requested.
//   TickNothingChanged: the usual tick; the hosts file is only looked at (stat).
//   TickReadBack:       the hosts file changed since the last tick and is read again.
//   HostsReadBack*:     the read-back alone, for comparison.

#include <benchmark/benchmark.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "common/hosts_section.h"
#include "controller_scene.h"

using namespace tarrow;

namespace {

struct Setup : bench::ControllerScene {
    Setup() {
        std::ofstream(paths.helper) << "helper\n";
        std::ofstream(paths.service) << "[Service]\n";
        paths.helperSHA256 = app::sha256(paths.helper).value_or("");

        Config config;
        for (int i = 0; i < 200; ++i)
            config.sites.push_back(Site::named("site" + std::to_string(i) + ".example"));
        for (int i = 0; i < 20; ++i)
            config.schedules.push_back(Schedule::make(true, {1 + i % 7, 1 + (i + 3) % 7},
                                                      60 * (i % 24), 60 * ((i + 5) % 24)));
        config.manualOn = true;
        store->setConfig(config);
        start();  // writes the request

        std::string foreign;
        for (int i = 0; i < 150000; ++i)
            foreign += "10." + std::to_string(i / 65536 % 256) + "." +
                       std::to_string(i / 256 % 256) + "." + std::to_string(i % 256) + " host" +
                       std::to_string(i) + ".lan\n";
        std::vector<std::string> names;
        std::ifstream request(paths.request);
        for (std::string line; std::getline(request, line);) names.push_back(line);
        std::ofstream(paths.hosts) << hostsFile(foreign, names);
        // Let the file's times settle, so the read-back may trust them.
        std::this_thread::sleep_for(std::chrono::milliseconds(2100));
        tarrow->tick();
        tarrow->tick();
    }
};

Setup& setup() {
    static Setup s;
    return s;
}

void TickNothingChanged(benchmark::State& state) {
    Setup& s = setup();
    for (auto _ : state) s.tarrow->tick();
    state.counters["helper working"] = s.store->helper() == Helper::working;
    state.counters["names"] = static_cast<double>(s.tarrow->blockingNames().size());
}
BENCHMARK(TickNothingChanged)->Unit(benchmark::kMicrosecond);

void TickReadBack(benchmark::State& state) {
    Setup& s = setup();
    for (auto _ : state) {
        state.PauseTiming();
        ::utimes(s.paths.hosts.c_str(), nullptr);  // a change the tick must look into
        state.ResumeTiming();
        s.tarrow->tick();
    }
    state.counters["helper working"] = s.store->helper() == Helper::working;
}
BENCHMARK(TickReadBack)->Unit(benchmark::kMicrosecond);

void HostsFreshRead(benchmark::State& state) {
    Setup& s = setup();
    for (auto _ : state) {
        auto text = readText(s.paths.hosts);
        benchmark::DoNotOptimize(blockedNames(text->text));
    }
}
BENCHMARK(HostsFreshRead)->Unit(benchmark::kMicrosecond);

void Evaluate(benchmark::State& state) {
    Setup& s = setup();
    for (auto _ : state) benchmark::DoNotOptimize(s.tarrow->evaluation());
}
BENCHMARK(Evaluate)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
