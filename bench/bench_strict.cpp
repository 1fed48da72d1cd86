// The cost of a strict lock on the helper's pass: the same unchanged pass over a
// request of 200 names, without a lock and with a lock of 200 other names (the lock
// file saved, the strict request beside the request re-read each pass).
#include <unistd.h>

#include <benchmark/benchmark.h>

#include "common/strict_lock_text.h"
#include "helper/pass.h"
#include "helper/strict_lock.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using namespace tarrow;

namespace {

std::vector<std::string> names(const std::string& prefix, int n) {
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) out.push_back(prefix + std::to_string(i) + ".example");
    return out;
}

void BM_pass(benchmark::State& bench) {
    const bool locked = bench.range(0) != 0;
    test::TempFolder folder;
    HelperState state;
    state.hostsPath = folder / "hosts";
    state.log = [](std::string_view) {};
    test::writeFile(state.hostsPath, "127.0.0.1 localhost\n");
    const std::string request = folder / "request/blocked-hosts";
    std::string text;
    for (const std::string& name : names("site", 200)) text += name + "\n";
    test::writeFile(request, text);
    if (locked) {
        const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
        test::writeFile(
            folder / "request/strict-lock",
            strictLockText(now + std::chrono::hours(1), std::nullopt, names("locked", 200)));
        state.strict = std::make_shared<StrictKeeper>(folder / "lib/strict-lock", ::getuid());
    }
    pass(state, request, ::getuid());  // the first pass writes; the rest find it unchanged
    for (auto _ : bench) benchmark::DoNotOptimize(pass(state, request, ::getuid()));
}

}  // namespace

BENCHMARK(BM_pass)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
