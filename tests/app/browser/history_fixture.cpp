#include "tests/app/browser/history_fixture.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>

#include "tests/support/child_process.h"
#include "tests/support/history_schemas.h"

namespace tarrow::test {

namespace {

sqlite3_stmt* statement(sqlite3* db, const char* sql) {
    sqlite3_stmt* s = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql, -1, &s, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    return s;
}

void run(sqlite3* db, sqlite3_stmt* s) {
    EXPECT_EQ(sqlite3_step(s), SQLITE_DONE) << sqlite3_errmsg(db);
    sqlite3_reset(s);
}

// How one browser keeps its history: its tables, the statement that adds an address
// (?1) and the one that adds a visit (?1 the address row, ?2 the time in its clock).
struct Layout {
    const char* tables;
    const char* address;
    const char* visit;
    std::function<void(sqlite3_stmt*, double secondsSinceUnixEpoch)> bindTime;
};

Layout layoutOf(HistoryFormat format) {
    switch (format) {
        case HistoryFormat::chromium:
            return {chromiumTables, "INSERT INTO urls(url, last_visit_time) VALUES (?1, 0)",
                    "INSERT INTO visits(url, visit_time) VALUES (?1, ?2)",
                    [](sqlite3_stmt* s, double t) {
                        sqlite3_bind_int64(s, 2, sqlite3_int64((t + 11644473600.0) * 1e6));
                    }};
        case HistoryFormat::firefox:
        case HistoryFormat::safari:  // not read on this system
            break;
    }
    return {firefoxTables, "INSERT INTO moz_places(url) VALUES (?1)",
            "INSERT INTO moz_historyvisits(place_id, visit_date, visit_type) VALUES (?1, ?2, 1)",
            [](sqlite3_stmt* s, double t) { sqlite3_bind_int64(s, 2, sqlite3_int64(t * 1e6)); }};
}

}  // namespace

double nowSeconds() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void writeHistory(HistoryFormat format, const std::string& path,
                  const std::vector<FixtureVisit>& visits, double now, bool timeIndex) {
    const Layout layout = layoutOf(format);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    execute(path, layout.tables);
    if (format == HistoryFormat::chromium && timeIndex)
        execute(path, "CREATE INDEX visits_time_index ON visits (visit_time)");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK) << path;
    sqlite3_exec(db, "PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* address = statement(db, layout.address);
    sqlite3_stmt* visit = statement(db, layout.visit);
    // One address row per distinct address (every NULL address its own row), as the
    // browsers keep them.
    std::map<std::string, sqlite3_int64> known;
    for (const FixtureVisit& v : visits) {
        sqlite3_int64 id;
        if (v.url && known.count(*v.url)) {
            id = known[*v.url];
        } else {
            if (v.url)
                sqlite3_bind_text(address, 1, v.url->c_str(), -1, SQLITE_TRANSIENT);
            else
                sqlite3_bind_null(address, 1);
            run(db, address);
            id = sqlite3_last_insert_rowid(db);
            if (v.url) known[*v.url] = id;
        }
        for (int n = 0; n < v.times; ++n) {
            sqlite3_bind_int64(visit, 1, id);
            layout.bindTime(visit, now - v.daysAgo * 86400);
            run(db, visit);
        }
    }
    sqlite3_finalize(address);
    sqlite3_finalize(visit);
    EXPECT_EQ(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);
}

void execute(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << error;
    sqlite3_free(error);
    sqlite3_close(db);
}

void makeFolder(const std::string& path, unsigned mode) {
    std::filesystem::create_directories(path);
    ::chmod(path.c_str(), mode);
}

std::optional<std::string> asUnprivileged(const std::function<std::string()>& work) {
    if (!isRoot()) return work();
    int pipe[2];
    if (::pipe(pipe) != 0) return std::nullopt;
    // The answers are a few lines: the pipe holds them until the child has ended.
    const int status = inChild(
        [&] {
            const std::string out = work();
            return ::write(pipe[1], out.data(), out.size()) == ssize_t(out.size()) ? 0 : 4;
        },
        true);
    ::close(pipe[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;) out.append(buffer, n);
    ::close(pipe[0]);
    if (status != 0) return std::nullopt;
    return out;
}

}  // namespace tarrow::test
