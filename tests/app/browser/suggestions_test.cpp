#include "app/browser/suggestions.h"

#include <gtest/gtest.h>

#include "app/browser/suggest_report.h"
#include "tests/app/browser/history_fixture.h"

namespace tarrow {
namespace {

using test::TempHome;

TEST(SiteCounts, FoldsAndRanks) {
    struct Case {
        const char* name;
        std::vector<std::vector<VisitCount>> histories;
        int limit;
        std::vector<Suggestion> expected;
    };
    std::vector<Case> cases = {
        {"two browsers add up",
         {{{"https://www.example.com/a", 4}}, {{"https://example.com/", 6}}},
         20,
         {{"example.com", 10}}},
        {"nine visits are too few",
         {{{"https://example.com/", 9}, {"https://example.org/", 10}}},
         20,
         {{"example.org", 10}}},
        {"equal visits by name",
         {{{"https://zeta.com/", 12}, {"https://alpha.com/", 12}, {"https://mid.com/", 30}}},
         20,
         {{"mid.com", 30}, {"alpha.com", 12}, {"zeta.com", 12}}},
        {"limit",
         {{{"https://a.com/", 30}, {"https://b.com/", 20}, {"https://c.com/", 10}}},
         2,
         {{"a.com", 30}, {"b.com", 20}}},
        {"negative limit", {{{"https://a.com/", 30}}}, -3, {}},
        {"rows without a usable host",
         {{{"file:///home/me/page.html", 50}, {"https://192.168.0.1/", 50}}},  // no host; no site
         20,
         {}},
        {"host forms of one site",
         {{{"https://EXAMPLE.org./x", 5},
           {"https://m.example.org/", 3},
           {"http://user@example.org:8080/", 2},
           {"https://b\xc3\xbc"
            "cher.de/",
            7},
           {"https://xn--bcher-kva.de/", 3},
           {"https://youtu.be/abc", 11}}},
         20,
         {{"youtube.com", 11}, {"example.org", 10}, {"xn--bcher-kva.de", 10}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SiteCounts counts;
        for (const auto& rows : c.histories) counts.add(rows);
        EXPECT_EQ(counts.ranked(c.limit), c.expected);
    }
}

TEST(BrowsingSuggestions, ReadsEveryHistoryUnderTheHome) {
    TempHome home;
    double now = test::nowSeconds();
    test::writeHistory(HistoryFormat::chromium, home / ".config/google-chrome/Default/History",
                       {{"https://www.example.com/", 2, 4},
                        {"https://example.org/", 40, 50},  // too old
                        {"https://news.example.net/", 3, 20}},
                       now);
    test::writeHistory(HistoryFormat::chromium, home / ".config/google-chrome/Profile 2/History",
                       {{"https://m.example.com/", 5, 3}}, now);
    test::writeHistory(HistoryFormat::firefox,
                       home / ".mozilla/firefox/x.default-release/places.sqlite",
                       {{"https://example.com/", 1, 3},
                        {"https://youtu.be/v", 1, 6},
                        {"https://www.youtube.com/", 45, 100},  // too old
                        {"https://m.youtube.com/", 10, 6}},
                       now);
    test::writeFile(home / ".config/BraveSoftware/Brave-Browser/Default/History", "not sqlite");
    test::writeFile(home / ".config/vivaldi/Default/History", "");

    BrowsingSuggestions result = browsingSuggestions(home.path);
    EXPECT_EQ(result.list, (std::vector<Suggestion>{{"youtube.com", 12}, {"example.com", 10}}));
    EXPECT_EQ(result.sources, 3);
    EXPECT_EQ(result.locked, (std::vector<std::string>{"Brave", "Vivaldi"}));
    EXPECT_EQ(result.problems,
              (std::vector<std::string>{
                  "history not readable: Brave: read: file is not a database (errno 0)",
                  "history not readable: Vivaldi: read: no such table: visits (errno 0)"}));
}

}  // namespace
}  // namespace tarrow
