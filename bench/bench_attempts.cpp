// Counting attempts at the largest size kept: 90 days of 200 sites each, 18,000 counts.
// The goal: a tick's hits counted and attempts.json written in under 1 ms.
//   CountTickAndSave: the 20 lines a full hits file holds, each a new attempt of another
//                     site, then the write as the tick does it (atomic, by rename, not synced).
//   Encode:           the file's text alone.
//   Week:             the week's counts for the Sites tab.
// The file goes to a folder under the working folder (a real disk, as the state folder
// is), or to TARROW_BENCH_DIR when that is set.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/model/attempts.h"
#include "app/model/attempts_json.h"

using namespace tarrow;

namespace {

constexpr int sites = 200;

std::string domain(int i) {
    return "site" + std::to_string(i) + ".example";
}

// A scratch folder holding attempts.json with 90 full days up to `now`.
struct Filled {
    std::string folder;
    Calendar calendar{"Europe/Berlin", "en_US"};
    Instant now = *parseIso("2026-10-23T10:00:00Z");

    Filled() {
        const char* base = std::getenv("TARROW_BENCH_DIR");
        std::string pattern = std::string(base && *base ? base : ".") + "/bench-attempts-XXXXXX";
        folder = ::mkdtemp(pattern.data()) ? pattern : ".";
        AttemptCounts counts;
        const Day today = localDay(now, calendar);
        for (int d = 0; d < keptDays; ++d)
            for (int s = 0; s < sites; ++s)
                counts[today - std::chrono::days{d}][domain(s)] = 1 + (s * 7 + d) % 40;
        std::FILE* file = std::fopen((folder + "/attempts.json").c_str(), "w");
        const std::string text = encodeAttempts(counts);
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    ~Filled() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

void BM_CountTickAndSave(benchmark::State& state) {
    Filled filled;
    Attempts attempts(filled.folder);
    if (attempts.counts().size() != size_t(keptDays)) state.SkipWithError("not filled");
    Instant at = filled.now;
    int next = 0;
    for (auto _ : state) {
        at += sameAttempt;  // every hit is a new attempt
        for (int i = 0; i < 20; ++i) attempts.count(domain(next++ % sites), at, filled.calendar);
        attempts.save(at, filled.calendar);
    }
}

void BM_Encode(benchmark::State& state) {
    Filled filled;
    Attempts attempts(filled.folder);
    for (auto _ : state) benchmark::DoNotOptimize(encodeAttempts(attempts.counts()));
}

void BM_Week(benchmark::State& state) {
    Filled filled;
    Attempts attempts(filled.folder);
    for (auto _ : state) benchmark::DoNotOptimize(attempts.week(filled.now, filled.calendar));
}

BENCHMARK(BM_CountTickAndSave)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Encode)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_Week)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
