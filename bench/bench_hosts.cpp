// The hosts section on a large file: a 150,000-line hosts file of about 5 MB (the size
// of public ad-block lists) that already holds a section of 2,000 names.
//
// Prints, after the table, how a whole apply compares with only copying the same bytes
// to a temporary file with fsync and rename, both measured in this run.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "common/hosts_section.h"
#include "helper/apply.h"

using namespace tarrow;

namespace {

constexpr int foreignLines = 146000;
constexpr int requestedNames = 2000;

std::vector<std::string> names() {
    std::vector<std::string> out;
    for (int i = 0; i < requestedNames; ++i)
        out.push_back("www.site-" + std::to_string(i) + ".example" + std::to_string(i % 7) +
                      ".com");
    return out;
}

std::string largeHostsText() {
    std::string text =
        "##\n# Host Database\n##\n127.0.0.1\tlocalhost\n255.255.255.255\tbroadcasthost\n";
    for (int i = 0; i < foreignLines; ++i)
        text +=
            "0.0.0.0 ad" + std::to_string(i) + ".tracker-" + std::to_string(i % 97) + ".example\n";
    return hostsFile(text, names());
}

const std::string& text() {
    static const std::string value = largeHostsText();
    return value;
}

struct Folder {
    std::string path;
    Folder() {
        char pattern[] = "/tmp/bench-hosts-XXXXXX";
        path = ::mkdtemp(pattern);
    }
    ~Folder() { std::filesystem::remove_all(path); }
};

void writeFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void BM_hostsFile(benchmark::State& state) {
    const std::vector<std::string> blocking = names();
    for (auto _ : state) benchmark::DoNotOptimize(hostsFile(text(), blocking));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text().size()));
}

void BM_blockedNames(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(blockedNames(text()));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text().size()));
}

// Every iteration switches the address, so every apply reads, rebuilds and replaces.
void BM_apply(benchmark::State& state) {
    Folder folder;
    const std::string hosts = folder.path + "/hosts";
    writeFile(hosts, text());
    const std::vector<std::string> blocking = names();
    bool notice = false;
    for (auto _ : state) {
        notice = !notice;
        Result<bool> changed = apply(blocking, hosts, notice ? noticeAddress : plainAddress);
        if (!changed || !*changed) state.SkipWithError("apply wrote nothing");
    }
}

// The floor for any atomic replacement: the same bytes to a temporary file, fsync, rename;
// with syncFolder also an fsync of the folder, which apply does to make the rename durable.
void copyReplace(benchmark::State& state, bool syncFolder) {
    Folder folder;
    const std::string hosts = folder.path + "/hosts";
    const std::string temp = hosts + ".tmp";
    const std::string& bytes = text();
    for (auto _ : state) {
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        bool ok = fd >= 0 &&
                  ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
                  ::fsync(fd) == 0;
        if (fd >= 0) ::close(fd);
        if (!ok || ::rename(temp.c_str(), hosts.c_str()) != 0) state.SkipWithError("copy failed");
        if (syncFolder) {
            int dir = ::open(folder.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::fsync(dir);
            ::close(dir);
        }
    }
}
void BM_copyReplace(benchmark::State& state) {
    copyReplace(state, false);
}
void BM_copyReplaceSyncFolder(benchmark::State& state) {
    copyReplace(state, true);
}

void BM_applyUnchanged(benchmark::State& state) {
    Folder folder;
    const std::string hosts = folder.path + "/hosts";
    writeFile(hosts, text());
    const std::vector<std::string> blocking = names();
    std::optional<ApplyMemo> memo;
    if (!apply(blocking, hosts, plainAddress, &memo) || !memo)
        state.SkipWithError("no memo after the first apply");
    for (auto _ : state) {
        Result<bool> changed = apply(blocking, hosts, plainAddress, &memo);
        if (!changed || *changed || !memo) state.SkipWithError("unchanged apply did work");
    }
}

BENCHMARK(BM_hostsFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_blockedNames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_apply)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_copyReplace)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_copyReplaceSyncFolder)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_applyUnchanged)->Unit(benchmark::kMicrosecond);

// Keeps each run's real time per iteration so that main can print the ratio.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> milliseconds;  // real time per iteration
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (!run.error_occurred &&
                (run.run_type == Run::RT_Iteration || run.aggregate_name == "median"))
                milliseconds[run.benchmark_name()] =
                    1e3 * run.GetAdjustedRealTime() /
                    benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::printf("hosts file: %zu bytes, %d foreign lines, %d names in the section\n", text().size(),
                foreignLines, requestedNames);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // With --benchmark_repetitions the medians are compared, else the single runs.
    auto time = [&](const std::string& name) {
        auto median = reporter.milliseconds.find(name + "_median");
        if (median != reporter.milliseconds.end()) return median->second;
        auto single = reporter.milliseconds.find(name);
        return single != reporter.milliseconds.end() ? single->second : 0.0;
    };
    const double applied = time("BM_apply/real_time");
    const double copied = time("BM_copyReplace/real_time");
    const double synced = time("BM_copyReplaceSyncFolder/real_time");
    if (applied > 0 && copied > 0)
        std::printf("apply / copy+fsync+rename: %.2f (%.2f ms / %.2f ms)\n", applied / copied,
                    applied, copied);
    if (applied > 0 && synced > 0)
        std::printf("apply / copy+fsync+rename+folder fsync: %.2f (%.2f ms / %.2f ms)\n",
                    applied / synced, applied, synced);
    benchmark::Shutdown();
    return 0;
}
