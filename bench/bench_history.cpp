// Reading and folding a long browser history: 1,000,000 visits over 100,000 addresses.
// The databases are made once (in a child process, so that their making does not count
// towards this process's peak memory) under $TMPDIR/tarrow-bench-history and reused for
// twelve hours.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/browser/history_visits.h"
#include "app/browser/suggestions.h"
#include "tests/support/history_schemas.h"

namespace {

using namespace tarrow;

constexpr int addresses = 100'000;
constexpr int visits = 1'000'000;
constexpr int hosts = 3'000;

std::string root() {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/tarrow-bench-history";
}

double nowSeconds() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// A small deterministic generator, so every run reads the same history.
struct Random {
    std::uint64_t state = 88172645463325252ull;
    double next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<double>(state >> 11) / 9007199254740992.0;
    }
};

std::string address(int i) {
    static const char* forms[] = {"https://www.", "https://", "https://m.", "http://"};
    int host = i % hosts;
    std::string name = host % 50 == 0   ? "mail.work" + std::to_string(host) + ".com"
                       : host % 97 == 0 ? "youtube.com"
                                        : "site" + std::to_string(host) + ".com";
    return std::string(forms[host % 4]) + name + "/articles/" + std::to_string(i) +
           "?ref=feed&utm_source=start";
}

void check(int rc, sqlite3* db) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        std::fprintf(stderr, "bench_history: %s\n", sqlite3_errmsg(db));
        std::_Exit(1);
    }
}

// Visits skewed towards the first addresses, like real browsing, `spanDays` back.
void makeHistory(const std::string& path, bool firefox, double spanDays) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::filesystem::remove(path);
    sqlite3* db = nullptr;
    check(sqlite3_open(path.c_str(), &db), db);
    check(sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;", nullptr, nullptr,
                       nullptr),
          db);
    check(sqlite3_exec(db, firefox ? test::firefoxTables : test::chromiumTables, nullptr, nullptr,
                       nullptr),
          db);
    if (!firefox)
        check(sqlite3_exec(db, "CREATE INDEX visits_time_index ON visits (visit_time)", nullptr,
                           nullptr, nullptr),
              db);
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    sqlite3_stmt* url = nullptr;
    sqlite3_stmt* visit = nullptr;
    check(sqlite3_prepare_v2(db,
                             firefox
                                 ? "INSERT INTO moz_places(id, url, guid) VALUES (?1, ?2, ?1)"
                                 : "INSERT INTO urls(id, url, last_visit_time) VALUES (?1, ?2, 0)",
                             -1, &url, nullptr),
          db);
    check(sqlite3_prepare_v2(db,
                             firefox ? "INSERT INTO moz_historyvisits(place_id, visit_date) "
                                       "VALUES (?1, ?2)"
                                     : "INSERT INTO visits(url, visit_time) VALUES (?1, ?2)",
                             -1, &visit, nullptr),
          db);
    for (int i = 1; i <= addresses; ++i) {
        sqlite3_bind_int(url, 1, i);
        std::string text = address(i);
        sqlite3_bind_text(url, 2, text.c_str(), -1, SQLITE_TRANSIENT);
        check(sqlite3_step(url), db);
        sqlite3_reset(url);
    }
    // A browser adds visits as they happen, so row order follows time.
    Random random;
    double now = nowSeconds();
    std::vector<std::pair<double, int>> made;
    made.reserve(visits);
    for (int i = 0; i < visits; ++i) {
        double u = random.next();
        made.emplace_back(now - random.next() * spanDays * 86400,
                          1 + static_cast<int>(u * u * addresses));
    }
    std::sort(made.begin(), made.end());
    for (const auto& [when, id] : made) {
        double stamp = firefox ? when * 1e6 : (when + 11644473600.0) * 1e6;
        sqlite3_bind_int(visit, 1, id);
        sqlite3_bind_int64(visit, 2, static_cast<sqlite3_int64>(stamp));
        check(sqlite3_step(visit), db);
        sqlite3_reset(visit);
    }
    sqlite3_finalize(url);
    sqlite3_finalize(visit);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}

std::string home(const char* name) {
    return root() + "/" + name;
}
std::string chromeHistory(const char* name) {
    return home(name) + "/.config/google-chrome/Default/History";
}

void makeAll() {
    std::string marker = root() + "/made";
    struct stat st {};
    if (::stat(marker.c_str(), &st) == 0 && std::time(nullptr) - st.st_mtime < 12 * 3600) return;
    std::fprintf(stderr, "bench_history: making the histories under %s\n", root().c_str());
    pid_t child = ::fork();
    if (child == 0) {
        makeHistory(chromeHistory("recent"), false, 29);
        makeHistory(chromeHistory("spread"), false, 90);
        makeHistory(home("firefox") + "/.mozilla/firefox/b.default/places.sqlite", true, 29);
        std::ofstream(marker) << "made\n";
        std::_Exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::exit(1);
}

double peakMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

// The whole load: find the files, read, fold.
void BM_Suggestions(benchmark::State& state, const char* name) {
    BrowsingSuggestions result;
    for (auto _ : state) {
        result = browsingSuggestions(home(name));
        benchmark::DoNotOptimize(result);
    }
    state.counters["sources"] = result.sources;
    state.counters["sites"] = static_cast<double>(result.list.size());
    state.counters["peak_MiB"] = peakMiB();
}

void BM_HistoryVisits(benchmark::State& state) {
    size_t rows = 0;
    for (auto _ : state) {
        auto read = historyVisits(chromeHistory("recent"), 30, HistoryFormat::chromium);
        rows = read ? read->size() : 0;
    }
    state.counters["rows"] = static_cast<double>(rows);
}

// SQLite's own plan for the plain statement, for comparison.
void BM_DefaultPlan(benchmark::State& state) {
    std::string address = historyAddress(chromeHistory("recent"));
    auto cutoff = std::get<std::int64_t>(
        historyCutoff(HistoryFormat::chromium, 30, std::chrono::system_clock::now()));
    size_t rows = 0;
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(address.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db,
                           "SELECT u.url, COUNT(*) FROM visits v JOIN urls u ON u.id = v.url "
                           "WHERE v.visit_time > ?1 GROUP BY v.url",
                           -1, &statement, nullptr);
        sqlite3_bind_int64(statement, 1, cutoff);
        rows = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_text(statement, 0));
            ++rows;
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
    }
    state.counters["rows"] = static_cast<double>(rows);
}

BENCHMARK_CAPTURE(BM_Suggestions, chromium_all_in_30_days, "recent")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_Suggestions, chromium_over_90_days, "spread")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_Suggestions, firefox_all_in_30_days, "firefox")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_HistoryVisits)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DefaultPlan)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    makeAll();
    // The counters peak_MiB hold the process's peak after each benchmark; this is the
    // part that is not the reading.
    std::fprintf(stderr, "bench_history: peak memory before reading: %.1f MiB\n", peakMiB());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
