#include "app/browser/history_visits.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>

#include "tests/app/browser/history_fixture.h"

namespace tarrow {
namespace {

// The time point of a count of seconds since 1970.
std::chrono::system_clock::time_point at(double seconds) {
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::duration<double>(seconds)));
}

using test::FixtureVisit;
using test::TempHome;

std::vector<VisitCount> sorted(std::vector<VisitCount> rows) {
    std::sort(rows.begin(), rows.end(),
              [](const VisitCount& a, const VisitCount& b) { return a.url < b.url; });
    return rows;
}

TEST(HistoryVisits, CountsTheLastDaysInEachBrowsersClock) {
    for (HistoryFormat format : {HistoryFormat::chromium, HistoryFormat::firefox}) {
        SCOPED_TRACE(static_cast<int>(format));
        TempHome home;
        double now = test::nowSeconds();
        std::vector<FixtureVisit> visits = {
            {"https://www.example.com/a", 1, 3},
            {"https://www.example.com/a", 29.5, 1},
            {"https://example.org/", 30.5, 5},  // just outside
            {"https://example.net/", 400, 2},   // long ago
            {"https://example.de/", 0.001, 1},  // moments ago
            {"", 2, 1},
            {std::nullopt, 1, 2},
        };
        test::writeHistory(format, home / "history.db", visits, now);
        auto rows = historyVisits(home / "history.db", 30, format);
        ASSERT_TRUE(rows) << rows.status().text();
        std::vector<VisitCount> expected = {
            {"", 1}, {"https://example.de/", 1}, {"https://www.example.com/a", 4}};
        EXPECT_EQ(sorted(*rows), expected);
        // The cut-off moves with the days asked for.
        auto longer = historyVisits(home / "history.db", 31, format);
        ASSERT_TRUE(longer);
        EXPECT_EQ(longer->size(), 4u);
    }
}

TEST(HistoryVisits, FailuresSayWhy) {
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
        HistoryFormat format;
        std::string problemStart;
    };
    std::vector<Case> cases = {
        {"missing file", [](const std::string&) {}, HistoryFormat::chromium,
         "open: unable to open database file (errno 2)"},
        {"not a database", [](const std::string& p) { test::writeFile(p, std::string(8192, 'x')); },
         HistoryFormat::firefox, "read: file is not a database"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempHome home;
        c.make(home / "History");
        auto rows = historyVisits(home / "History", 30, c.format);
        ASSERT_FALSE(rows);
        const std::string problem = historyProblem(rows.status());
        EXPECT_EQ(problem.substr(0, c.problemStart.size()), c.problemStart) << problem;
    }
}

// Reading leaves the folder as it was: no journal, log or lock file is added.
TEST(HistoryVisits, PathsWithUriCharactersAreReadWithoutAddingFiles) {
    for (std::string folder : {"Profile 1", "a?b#c", "100%25 sure", "Prüfung", "semi;colon&x=y"}) {
        SCOPED_TRACE(folder);
        TempHome home;
        std::string path = home / folder + "/History";
        test::writeHistory(HistoryFormat::chromium, path, {{"https://example.com/", 1, 2}},
                           test::nowSeconds());
        auto rows = historyVisits(path, 30, HistoryFormat::chromium);
        ASSERT_TRUE(rows) << rows.status().text();
        EXPECT_EQ(*rows, (std::vector<VisitCount>{{"https://example.com/", 2}}));
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(home / folder))
            names.push_back(entry.path().filename());
        EXPECT_EQ(names, std::vector<std::string>{"History"});
    }
    EXPECT_EQ(historyAddress("/h/a b?c#d%e/History"),
              "file:///h/a%20b%3Fc%23d%25e/History?mode=ro&immutable=1");
    EXPECT_EQ(historyAddress("//server/x"), "file:////server/x?mode=ro&immutable=1");
    EXPECT_EQ(historyAddress("rel/x"), "file:rel/x?mode=ro&immutable=1");
}

std::string queryPlan(const std::string& path, HistoryFormat format) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::string sql = "EXPLAIN QUERY PLAN " + historyReading(db, format).statement;
    sqlite3_stmt* statement = nullptr;
    std::string plan;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK)
        while (sqlite3_step(statement) == SQLITE_ROW)
            plan += reinterpret_cast<const char*>(sqlite3_column_text(statement, 3)) +
                    std::string("\n");
    else
        plan = std::string("error: ") + sqlite3_errmsg(db);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return plan;
}

TEST(HistoryVisits, ChromiumReadsByVisitTimeAndGetsTheSameRows) {
    struct Case {
        const char* name;
        std::string sql;  // run after the tables are filled
        const char* planHas;
        bool whole;  // planHas is the whole plan: nothing else, no sorting
    };
    std::vector<Case> cases = {
        {"browser's own index", "CREATE INDEX visits_time_index ON visits (visit_time)",
         "SEARCH v USING INDEX visits_time_index (visit_time>?)\n", true},
        {"address ids too large to count in an array",
         "CREATE INDEX visits_time_index ON visits (visit_time);"
         "UPDATE urls SET id = id + 5000000 WHERE id > 30;"
         "UPDATE visits SET url = url + 5000000 WHERE url > 30",
         "SEARCH v USING INDEX visits_time_index (visit_time>?)\n", true},
        {"no time index", "", "visits_url_index", false},
        {"an index of that name on another column",
         "CREATE INDEX visits_time_index ON visits (transition)", "visits_time_index", false},
    };
    double now = test::nowSeconds();
    std::vector<FixtureVisit> visits;
    for (int i = 0; i < 60; ++i)
        visits.push_back({"https://site" + std::to_string(i % 7) + ".com/" + std::to_string(i),
                          i * 0.75, 1 + i % 3});
    visits.push_back({std::nullopt, 1, 4});  // an address row without text
    std::vector<VisitCount> first;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempHome home;
        test::writeHistory(HistoryFormat::chromium, home / "History", visits, now, false);
        // A visit whose address row is gone.
        test::execute(home / "History",
                      "INSERT INTO visits(url, visit_time) VALUES (99999, " +
                          std::to_string(static_cast<long long>((now + 11644473600.0) * 1e6)) +
                          ")");
        if (!c.sql.empty()) test::execute(home / "History", c.sql);
        std::string plan = queryPlan(home / "History", HistoryFormat::chromium);
        EXPECT_NE(plan.find(c.planHas), std::string::npos) << plan;
        if (c.whole) {
            EXPECT_EQ(plan, c.planHas);
        }
        auto rows = historyVisits(home / "History", 30, HistoryFormat::chromium, at(now));
        ASSERT_TRUE(rows) << rows.status().text();
        EXPECT_EQ(rows->size(), 40u);
        if (first.empty()) first = sorted(*rows);
        EXPECT_EQ(sorted(*rows), first);
    }
}

// Day counts that are no number of days give a cut-off that keeps nothing or everything.
TEST(HistoryVisits, CutoffOfOddDayCounts) {
    constexpr auto max = std::numeric_limits<std::int64_t>::max();
    constexpr auto min = std::numeric_limits<std::int64_t>::min();
    const double now = 1700000000;
    struct Case {
        HistoryFormat format;
        double days;
        std::variant<std::int64_t, double> cutoff;
    };
    std::vector<Case> cases = {
        {HistoryFormat::chromium, 0, std::int64_t{13344473600000000}},
        {HistoryFormat::chromium, std::nan(""), max},
        {HistoryFormat::firefox, std::numeric_limits<double>::infinity(), min},
        {HistoryFormat::firefox, -1e300, max},
    };
    for (const Case& c : cases)
        EXPECT_EQ(historyCutoff(c.format, c.days, at(now)), c.cutoff) << c.days;
}

}  // namespace
}  // namespace tarrow
