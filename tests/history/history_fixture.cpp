#include "tests/history/history_fixture.h"

#include "tests/history/history_schemas.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>

namespace tarrow::test {

namespace {

sqlite3* created(const std::string& path, const char* tables) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK) << path;
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, tables, nullptr, nullptr, &error), SQLITE_OK) << error;
    sqlite3_free(error);
    sqlite3_exec(db, "PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr);
    return db;
}

void finish(sqlite3* db) {
    EXPECT_EQ(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);
}

sqlite3_stmt* statement(sqlite3* db, const char* sql) {
    sqlite3_stmt* s = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql, -1, &s, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    return s;
}

void run(sqlite3* db, sqlite3_stmt* s) {
    EXPECT_EQ(sqlite3_step(s), SQLITE_DONE) << sqlite3_errmsg(db);
    sqlite3_reset(s);
}

void bindUrl(sqlite3_stmt* s, int index, const std::optional<std::string>& url) {
    if (url)
        sqlite3_bind_text(s, index, url->c_str(), -1, SQLITE_TRANSIENT);
    else
        sqlite3_bind_null(s, index);
}

// One address row per distinct address (every NULL address its own row), as the
// browsers keep them; returns the row id for each visit.
template <typename InsertUrl>
std::vector<sqlite3_int64> addressIds(sqlite3* db, const std::vector<FixtureVisit>& visits,
                                      InsertUrl insert) {
    std::map<std::string, sqlite3_int64> known;
    std::vector<sqlite3_int64> ids;
    for (const FixtureVisit& visit : visits) {
        if (visit.url) {
            if (auto found = known.find(*visit.url); found != known.end()) {
                ids.push_back(found->second);
                continue;
            }
        }
        insert(visit);
        sqlite3_int64 id = sqlite3_last_insert_rowid(db);
        if (visit.url) known[*visit.url] = id;
        ids.push_back(id);
    }
    return ids;
}

}  // namespace

double nowSeconds() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

namespace {

// How one browser keeps its history: its tables, the statement that adds an address
// (?1) and the one that adds a visit (?1 the address row, ?2 the time in its clock).
struct Layout {
    const char* tables;
    const char* address;
    const char* visit;
    std::function<void(sqlite3_stmt*, double daysAgo)> bindTime;
};

void writeHistory(const std::string& path, const std::vector<FixtureVisit>& visits,
                  const Layout& layout, const char* extra = nullptr) {
    sqlite3* db = created(path, layout.tables);
    if (extra) sqlite3_exec(db, extra, nullptr, nullptr, nullptr);
    sqlite3_stmt* address = statement(db, layout.address);
    sqlite3_stmt* visit = statement(db, layout.visit);
    auto ids = addressIds(db, visits, [&](const FixtureVisit& v) {
        bindUrl(address, 1, v.url);
        run(db, address);
    });
    for (size_t i = 0; i < visits.size(); ++i) {
        for (int n = 0; n < visits[i].times; ++n) {
            sqlite3_bind_int64(visit, 1, ids[i]);
            layout.bindTime(visit, visits[i].daysAgo);
            run(db, visit);
        }
    }
    sqlite3_finalize(address);
    sqlite3_finalize(visit);
    finish(db);
}

}  // namespace

void writeChromiumHistory(const std::string& path, const std::vector<FixtureVisit>& visits,
                          double now, bool timeIndex) {
    Layout chromium = {
        chromiumTables, "INSERT INTO urls(url, last_visit_time) VALUES (?1, 0)",
        "INSERT INTO visits(url, visit_time) VALUES (?1, ?2)",
        [now](sqlite3_stmt* s, double daysAgo) {
            sqlite3_bind_int64(
                s, 2, static_cast<sqlite3_int64>((now - daysAgo * 86400 + 11644473600.0) * 1e6));
        }};
    writeHistory(path, visits, chromium,
                 timeIndex ? "CREATE INDEX visits_time_index ON visits (visit_time)" : nullptr);
}

void writeFirefoxHistory(const std::string& path, const std::vector<FixtureVisit>& visits,
                         double now) {
    Layout firefox = {firefoxTables, "INSERT INTO moz_places(url) VALUES (?1)",
                      "INSERT INTO moz_historyvisits(place_id, visit_date, visit_type) "
                      "VALUES (?1, ?2, 1)",
                      [now](sqlite3_stmt* s, double daysAgo) {
                          sqlite3_bind_int64(
                              s, 2, static_cast<sqlite3_int64>((now - daysAgo * 86400) * 1e6));
                      }};
    writeHistory(path, visits, firefox);
}

void writeSafariHistory(const std::string& path, const std::vector<FixtureVisit>& visits,
                        double now) {
    Layout safari = {safariTables,
                     "INSERT INTO history_items(url, visit_count, daily_visit_counts, "
                     "should_recompute_derived_visit_counts, visit_count_score) "
                     "VALUES (?1, 0, x'', 0, 0)",
                     "INSERT INTO history_visits(history_item, visit_time) VALUES (?1, ?2)",
                     [now](sqlite3_stmt* s, double daysAgo) {
                         sqlite3_bind_double(s, 2, now - daysAgo * 86400 - 978307200.0);
                     }};
    writeHistory(path, visits, safari);
}

void execute(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << error;
    sqlite3_free(error);
    sqlite3_close(db);
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

void makeFolder(const std::string& path, unsigned mode) {
    std::filesystem::create_directories(path);
    ::chmod(path.c_str(), mode);
}

TempHome::TempHome() {
    std::string pattern = "/tmp/tarrow-history-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    ::chmod(pattern.c_str(), 0755);
    path_ = pattern;
}

TempHome::~TempHome() {
    // Give back every permission a test took away, so that the folder can go.
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(
             path_, std::filesystem::directory_options::skip_permission_denied, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error)) ::chmod(it->path().c_str(), 0755);
    }
    ::chmod(path_.c_str(), 0755);
    std::filesystem::remove_all(path_, error);
}

std::optional<std::string> asUnprivileged(const std::function<std::string()>& work) {
    if (::geteuid() != 0) return work();
    int pipe[2];
    if (::pipe(pipe) != 0) return std::nullopt;
    pid_t child = ::fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
        ::close(pipe[0]);
        constexpr uid_t nobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
            ::_exit(3);
        std::string out = work();
        size_t done = 0;
        while (done < out.size()) {
            ssize_t n = ::write(pipe[1], out.data() + done, out.size() - done);
            if (n <= 0) ::_exit(4);
            done += static_cast<size_t>(n);
        }
        ::_exit(0);
    }
    ::close(pipe[1]);
    std::string out;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(pipe[0], buffer, sizeof buffer)) > 0) out.append(buffer, n);
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return out;
}

}  // namespace tarrow::test
