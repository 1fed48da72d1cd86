// evaluate() runs on every tick, menu opening and status line: the goal is a median
// under 50 µs with 20 schedules. Measured on an ordinary week and on the week the
// clock goes back, where every day is worked out through the calendar.

#include <benchmark/benchmark.h>

#include "app/model/evaluation.h"
#include "app/model/texts.h"

namespace {

using namespace tarrow;

Config twentySchedules() {
    Config c;
    for (int i = 0; i < 20; ++i) {
        std::set<int> days;
        for (int d = 1; d <= 7; ++d)
            if ((i + d) % 3 != 0) days.insert(d);
        const int start = (i * 97) % 1440, end = (start + 60 + i * 53) % 1440;
        c.schedules.push_back(Schedule::make(i % 5 != 4, days, start, end));
    }
    return c;
}

void evaluateAt(benchmark::State& state, const char* when) {
    const Calendar calendar("Europe/Berlin", "de_DE");
    const Config config = twentySchedules();
    const Instant now = *parseIso(when);
    for (auto _ : state) benchmark::DoNotOptimize(evaluate(config, now, calendar));
}

void BM_EvaluateOrdinaryWeek(benchmark::State& state) {
    evaluateAt(state, "2026-06-10T09:30:00+02:00");
}

void BM_EvaluateWeekOfClockChange(benchmark::State& state) {
    evaluateAt(state, "2026-10-23T09:30:00+02:00");
}

void BM_StatusLine(benchmark::State& state) {
    const Calendar calendar("Europe/Berlin", "de_DE");
    const Config config = twentySchedules();
    const Instant now = *parseIso("2026-06-10T09:30:00+02:00");
    for (auto _ : state)
        benchmark::DoNotOptimize(statusLine(evaluate(config, now, calendar), now, calendar));
}

BENCHMARK(BM_EvaluateOrdinaryWeek)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_EvaluateWeekOfClockChange)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_StatusLine)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
