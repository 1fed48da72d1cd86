#pragma once
// Per-click wall times of a benchmark loop, reported as counters: the median, the 99th
// percentile and the worst (milliseconds). A frame is what a user feels, not the mean.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace tarrow::bench {

class Latencies {
  public:
    void start() { begun_ = std::chrono::steady_clock::now(); }
    void stop() {
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - begun_;
        ms_.push_back(took.count());
    }
    void report(benchmark::State& state) {
        if (ms_.empty()) return;
        std::sort(ms_.begin(), ms_.end());
        auto at = [this](double share) { return ms_[size_t(share * double(ms_.size() - 1))]; };
        state.counters["p50_ms"] = at(0.50);
        state.counters["p99_ms"] = at(0.99);
        state.counters["max_ms"] = ms_.back();
    }

  private:
    std::chrono::steady_clock::time_point begun_;
    std::vector<double> ms_;
};

}  // namespace tarrow::bench
