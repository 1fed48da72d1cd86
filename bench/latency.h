#pragma once
// Per-click times of a benchmark loop, reported as counters in milliseconds: wall time
// (median, 99th percentile, worst) and the thread's own CPU time (99th percentile), which
// tells the work of the click from time the thread spent waiting or preempted. A frame
// is what a user feels, not the mean.

#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <vector>

namespace tarrow::bench {

class Latencies {
  public:
    void start() {
        wallStart_ = now(CLOCK_MONOTONIC);
        cpuStart_ = now(CLOCK_THREAD_CPUTIME_ID);
    }
    void stop() {
        wall_.push_back(now(CLOCK_MONOTONIC) - wallStart_);
        cpu_.push_back(now(CLOCK_THREAD_CPUTIME_ID) - cpuStart_);
    }
    void report(benchmark::State& state) {
        if (wall_.empty()) return;
        state.counters["p50_ms"] = at(wall_, 0.50);
        state.counters["p99_ms"] = at(wall_, 0.99);
        state.counters["max_ms"] = at(wall_, 1.0);
        state.counters["cpu_p99_ms"] = at(cpu_, 0.99);
    }

  private:
    static double now(clockid_t clock) {
        struct timespec t {};
        ::clock_gettime(clock, &t);
        return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
    }
    static double at(std::vector<double>& ms, double share) {
        std::sort(ms.begin(), ms.end());
        return ms[size_t(share * double(ms.size() - 1))];
    }

    double wallStart_ = 0, cpuStart_ = 0;
    std::vector<double> wall_, cpu_;
};

}  // namespace tarrow::bench
