// Suggestions come from every browser's history: real databases in the browsers' own
// layouts under a scratch home, read without being changed.

#include <gtest/gtest.h>
#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>

#include "app/browser/history_files.h"
#include "app/browser/history_visits.h"
#include "app/browser/suggest_mode.h"
#include "app/browser/suggest_report.h"
#include "app/browser/suggestion_loader.h"
#include "app/browser/suggestions.h"
#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/history_schemas.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

struct Visit {
    std::optional<std::string> url;  // none: a NULL address
    double daysAgo = 1;
    int times = 1;
};

void execute(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << error;
    sqlite3_free(error);
    sqlite3_close(db);
}

const double now =
    std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();

// A history database at path, one address row per distinct address, in that browser's clock.
void writeHistory(HistoryFormat format, const std::string& path, const std::vector<Visit>& visits,
                  bool timeIndex = true) {
    const bool chromium = format == HistoryFormat::chromium;
    fs::create_directories(fs::path(path).parent_path());
    std::string sql = std::string(chromium ? test::chromiumTables : test::firefoxTables) + "BEGIN;";
    if (chromium && timeIndex) sql += "CREATE INDEX visits_time_index ON visits (visit_time);";
    std::map<std::string, int> ids;
    int rows = 0;
    for (const Visit& v : visits) {
        int id = v.url && ids.count(*v.url) ? ids[*v.url] : 0;
        if (!id) {
            id = ++rows;
            if (v.url) ids[*v.url] = id;
            const std::string url = v.url ? "'" + *v.url + "'" : "NULL";
            sql += chromium ? "INSERT INTO urls(id, url, last_visit_time) VALUES (" +
                                  std::to_string(id) + ", " + url + ", 0);"
                            : "INSERT INTO moz_places(id, url) VALUES (" + std::to_string(id) +
                                  ", " + url + ");";
        }
        const double t = now - v.daysAgo * 86400;
        const auto stamp = std::to_string(std::int64_t((chromium ? t + 11644473600.0 : t) * 1e6));
        for (int n = 0; n < v.times; ++n)
            sql += chromium ? "INSERT INTO visits(url, visit_time) VALUES (" + std::to_string(id) +
                                  ", " + stamp + ");"
                            : "INSERT INTO moz_historyvisits(place_id, visit_date, visit_type) "
                              "VALUES (" +
                                  std::to_string(id) + ", " + stamp + ", 1);";
    }
    execute(path, sql + "COMMIT;");
}

std::vector<VisitCount> sorted(std::vector<VisitCount> rows) {
    std::sort(rows.begin(), rows.end(), [](auto& a, auto& b) { return a.url < b.url; });
    return rows;
}

std::string contents(const std::string& folder) {
    std::string out;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            out += entry.path().string() + " " + *test::readFile(entry.path()) + "\n";
    return out;
}

// Each site's forms (www., m., case, final dot, user and port, short links, an IDN spelled
// three ways) add up across browsers and profiles; ten visits in 30 days make a suggestion.
TEST(SuggestionsFromHistory, EveryBrowserUnderTheHomeCountsForItsSite) {
    TempFolder home;
    std::vector<Visit> chrome = {{"https://www.example.com/", 2, 4},
                                 {"https://example.org/", 40, 50},  // too old
                                 {"https://ninevisits.com/", 1, 9},
                                 {std::nullopt, 1, 20},
                                 {"", 1, 20}};
    // Addresses that are no site, or a site never suggested, with visits enough.
    for (const char* junk :
         {"file:///home/me/a.html", "https://192.168.1.1/", "http://localhost/",
          "https://calendar.example.com/", "https://google.co.uk/", "https://www.bing.com/",
          "https://under_score.com/", "https://www.m.example.com/", "https://shop.example.co.uk/",
          "https://bad%zzescape.com/", "https://cut%4/", "https://user@:80/", "://example.net",
          "https://[2001:db8::1]:443/"})
        chrome.push_back({junk, 1, 20});
    writeHistory(HistoryFormat::chromium, home / ".config/google-chrome/Default/History", chrome);
    writeHistory(HistoryFormat::chromium, home / ".config/google-chrome/Profile 2/History",
                 {{"https://m.example.com/", 5, 3}});
    writeHistory(HistoryFormat::chromium, home / ".config/google-chrome/System Profile/History",
                 {{"https://ignored.com/", 1, 50}});  // not a person's profile
    writeHistory(HistoryFormat::chromium, home / "snap/chromium/common/chromium/Default/History",
                 {{"https://b%C3%BCcher.d%65/", 1, 4}});
    writeHistory(HistoryFormat::chromium,
                 home /
                     ".var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser/"
                     "Profile 1/History",
                 {{"https://xn--bcher-kva.de/", 1, 3}});
    writeHistory(HistoryFormat::firefox, home / ".mozilla/firefox/x.default-release/places.sqlite",
                 {{"https://EXAMPLE.COM./x", 1, 3},
                  {"https://youtu.be/v", 1, 6},
                  {"https://www.youtube.com/", 45, 100},
                  {"https://m.youtube.com/", 10, 6}});
    writeHistory(HistoryFormat::firefox,
                 home / "snap/firefox/common/.mozilla/firefox/y.default/places.sqlite",
                 {{"https://b\xc3\xbc"
                   "cher.de/",
                   1, 3},
                  {"http://user:pw@tenexact.com:8080/", 29, 10}});
    test::writeFile(home / ".mozilla/firefox/profiles.ini", "x");
    test::writeFile(home / ".config/BraveSoftware/Brave-Browser/Default/History", "not sqlite");
    test::writeFile(home / ".config/vivaldi/Default/History", "");
    test::writeFile(home / ".config/chromium", "a file where the folder would be");
    const std::string before = contents(home.path);

    const BrowsingSuggestions result = browsingSuggestions(home.path);
    EXPECT_EQ(result.list, (std::vector<Suggestion>{{"youtube.com", 12},
                                                    {"example.com", 10},
                                                    {"tenexact.com", 10},
                                                    {"xn--bcher-kva.de", 10}}));
    EXPECT_EQ(result.sources, 6);
    EXPECT_EQ(result.locked, (std::vector<std::string>{"Brave", "Vivaldi"}));
    EXPECT_EQ(result.problems,
              (std::vector<std::string>{
                  "history not readable: Brave: read: file is not a database (errno 0)",
                  "history not readable: Vivaldi: read: no such table: visits (errno 0)"}));
    // "--suggest" reads the same home and prints the list, problems to the log.
    const std::string ownHome = std::getenv("HOME") ? std::getenv("HOME") : "/";
    ::setenv("HOME", home.path.c_str(), 1);
    std::FILE* out = std::tmpfile();
    std::vector<std::string> logged;
    EXPECT_EQ(printSuggestions(out, [&](std::string_view line) { logged.emplace_back(line); }), 0);
    std::rewind(out);
    char listed[25] = {};
    EXPECT_EQ(std::fread(listed, 1, 24, out), 24u);
    std::fclose(out);
    ::setenv("HOME", "", 1);  // unset: the account's own
    EXPECT_EQ(userHome(), ::getpwuid(::getuid())->pw_dir);
    ::setenv("HOME", ownHome.c_str(), 1);
    EXPECT_STREQ(listed, "12     youtube.com\n10   ");
    EXPECT_EQ(logged, result.problems);
    EXPECT_EQ(contents(home.path), before);  // nothing changed, no journal added
    EXPECT_EQ(suggestLogLine(result),
              "suggestions: 4 sites from 6 browser histories, locked: Brave, Vivaldi");
    EXPECT_EQ(suggestListing({{{"b.com", 12345678}}, {}, 1, {}}),
              "1234567b.com\n1 sites from 1 histories\n");  // counts capped at seven digits
}

// Only visits inside the window count, in each browser's clock; an address without one is
// no row at all.
TEST(SuggestionsFromHistory, VisitsAreCountedInsideTheWindow) {
    for (HistoryFormat format : {HistoryFormat::chromium, HistoryFormat::firefox}) {
        TempFolder home;
        writeHistory(format, home / "db",
                     {{"https://www.example.com/a", 1, 3},
                      {"https://www.example.com/a", 29.5, 1},
                      {"https://example.org/", 30.5, 5},
                      {"https://example.de/", 0.001, 1},
                      {"", 2, 1},
                      {std::nullopt, 1, 2}});
        auto rows = historyVisits(home / "db", 30, format);
        ASSERT_TRUE(rows) << rows.status().text();
        EXPECT_EQ(sorted(*rows),
                  (std::vector<VisitCount>{
                      {"", 1}, {"https://example.de/", 1}, {"https://www.example.com/a", 4}}));
        EXPECT_EQ(historyVisits(home / "db", 31, format)->size(), 4u);
    }
    // Folder names that mean something in a database address are read as they stand.
    for (std::string folder : {"a?b#c", "100%25 sure", "semi;colon&mode=rw"}) {
        TempFolder home;
        writeHistory(HistoryFormat::chromium, home / folder + "/History",
                     {{"https://a.com/", 1, 2}});
        auto rows = historyVisits(home / folder + "/History", 30, HistoryFormat::chromium);
        ASSERT_TRUE(rows) << folder << rows.status().text();
        EXPECT_EQ(rows->size(), 1u);
    }
    const auto at = std::chrono::system_clock::time_point(std::chrono::seconds(1700000000));
    EXPECT_EQ(historyCutoff(HistoryFormat::chromium, std::nan(""), at),
              (std::variant<std::int64_t, double>(std::numeric_limits<std::int64_t>::max())));
    EXPECT_EQ(historyCutoff(HistoryFormat::firefox, -1e300, at),
              (std::variant<std::int64_t, double>(std::numeric_limits<std::int64_t>::max())));
    EXPECT_FALSE(historyVisits("/nonexistent/History", 30, HistoryFormat::chromium));
}

// Chromium's visits are read through its time index when it has one, by address otherwise
// (or when the ids are too large to count in an array): the rows are the same.
TEST(SuggestionsFromHistory, ChromiumGivesTheSameRowsWithOrWithoutItsTimeIndex) {
    const std::string index = "CREATE INDEX visits_time_index ON visits (visit_time);";
    const std::string cases[] = {index,
                                 index +
                                     "UPDATE urls SET id = id + 5000000 WHERE id > 30;"
                                     "UPDATE visits SET url = url + 5000000 WHERE url > 30",
                                 "", "CREATE INDEX visits_time_index ON visits (transition)"};
    std::vector<Visit> visits = {{std::nullopt, 1, 4}};
    for (int i = 0; i < 60; ++i)
        visits.push_back({"https://s" + std::to_string(i % 7) + ".com/" + std::to_string(i),
                          i * 0.75, 1 + i % 3});
    std::vector<VisitCount> first;
    for (const std::string& sql : cases) {
        TempFolder home;
        writeHistory(HistoryFormat::chromium, home / "History", visits, false);
        execute(home / "History", "INSERT INTO visits(url, visit_time) VALUES (99999, 1);" + sql);
        auto rows = historyVisits(home / "History", 30, HistoryFormat::chromium);
        ASSERT_TRUE(rows) << rows.status().text();
        EXPECT_EQ(rows->size(), 40u) << sql;
        if (first.empty()) first = sorted(*rows);
        EXPECT_EQ(sorted(*rows), first) << sql;
    }
}

// A browser folder this user may not list is named as locked (run as nobody: root lists
// anything).
TEST(SuggestionsFromHistory, AFolderThatCannotBeListedIsLocked) {
    TempFolder home;
    test::writeFile(home / ".config/google-chrome/Default/History", "x");
    test::writeFile(home / ".config/chromium/Default/History", "x");
    ::chmod((home / ".config/google-chrome").c_str(), 0);
    const int status = test::inChild(
        [&] {
            const FoundHistories found = historyFiles(home.path, linuxHistoryPlaces);
            return found.files.size() == 1 && found.locked == std::vector<std::string>{"Chrome"}
                       ? 0
                       : 1;
        },
        true);
    if (status == 78) GTEST_SKIP() << "cannot switch to an unprivileged user";
    EXPECT_EQ(status, 0);
}

const Instant start = Instant(std::chrono::seconds(1'800'000'000));

TEST(SuggestionsFromHistory, LoadedWhenDueAndDroppedWhenTheStoreIsGone) {
    using namespace std::chrono_literals;
    struct Case {
        bool suggesting = false;
        std::vector<std::string> locked = {};
        std::optional<std::chrono::seconds> age = {};  // since the last load
        bool force = false, runs = false;
    };
    const Case cases[] = {
        {.runs = true},
        {.suggesting = true, .force = true},
        {.age = 60s, .force = true, .runs = true},
        {.locked = {"Chrome"}, .age = 60s, .runs = true},
        {.age = 599s},
        {.age = 600s, .runs = true},
        {.age = -3600s, .runs = true},  // stamped in the future
    };
    for (const Case& c : cases) {
        TempFolder folder;
        Store store(folder.path);
        store.readsHistory = true;
        store.setSuggesting(c.suggesting);
        store.setLockedBrowsers(c.locked);
        if (c.age) store.suggestedAt = start - *c.age;
        EXPECT_EQ(suggestionsDue(store, c.force, start), c.runs) << (c.age ? c.age->count() : 0);
    }
    // The read finishes after the store is gone: the result is dropped, not applied.
    TempFolder folder;
    std::vector<std::function<void()>> jobs;
    int reads = 0;
    {
        Store store(folder.path);
        store.readsHistory = true;
        installSuggestionLoader(
            store, {[&](std::function<void()> job) { jobs.push_back(std::move(job)); },
                    [&](std::function<void()> job) { jobs.push_back(std::move(job)); },
                    [] { return start; },
                    [&] {
                        ++reads;
                        return BrowsingSuggestions{};
                    },
                    [](std::string_view) { ADD_FAILURE() << "logged after the store went"; }});
        store.loadSuggestions(false);
    }
    for (size_t i = 0; i < jobs.size(); ++i) jobs[i]();
    EXPECT_EQ(reads, 1);
}

}  // namespace
}  // namespace tarrow
