#include "app/model/sites_grouping.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace tarrow {
namespace {

const std::vector<Preset> table = {
    {"YouTube", "youtube.com", "Video"},
    {"Netflix", "netflix.com", "Video"},
    {"Reddit", "reddit.com", "Social media"},
    {"Bild", "bild.de", "News"},
};

using Domains = std::vector<std::string>;

Domains words(const std::string& text) {
    std::istringstream in(text);
    Domains out;
    for (std::string word; in >> word;) out.push_back(word);
    return out;
}

Config sitesOf(const std::string& domains) {
    Config config;
    for (const std::string& d : words(domains)) config.sites.push_back(Site::named(d));
    return config;
}

std::vector<Suggestion> suggested(const std::string& domains) {
    std::vector<Suggestion> out;
    for (const std::string& d : words(domains)) out.push_back({d, 20});
    return out;
}

// The three groups as "your list | suggestions | presets".
std::string shown(const SitesGroups& g) {
    std::string s;
    for (const Site& site : g.yourList) s += site.domain + " ";
    s += "|";
    for (const Suggestion& x : g.suggestions) s += " " + x.domain;
    s += " |";
    for (const Preset& p : g.presets) s += " " + p.domain;
    return s;
}

TEST(GroupSites, WhereEachDomainShows) {
    struct Case {
        const char* name;
        std::string sites, suggestions;
        const char* listed;  // null: the tab has not shown yet
        std::string expected;
    };
    const Case cases[] = {
        {"before_the_tab_shows_the_list_stands_in", "youtube.com example.com", "youtube.com foo.de",
         nullptr, "youtube.com example.com | foo.de | netflix.com reddit.com bild.de"},
        {"preset_ticked_while_open_keeps_its_place", "example.com youtube.com", "", "example.com",
         "example.com | | youtube.com netflix.com reddit.com bild.de"},
        {"after_showing_again_it_is_on_the_list", "example.com youtube.com", "",
         "example.com youtube.com", "example.com youtube.com | | netflix.com reddit.com bild.de"},
        {"typed_site_offered_nowhere_shows_at_once", "new.example", "foo.de", "",
         "new.example | foo.de | youtube.com netflix.com reddit.com bild.de"},
        {"suggestion_ticked_while_open_stays_a_suggestion", "foo.de", "foo.de", "",
         "| foo.de | youtube.com netflix.com reddit.com bild.de"},
        {"suggested_preset_shows_once_as_suggestion", "", "reddit.com", "",
         "| reddit.com | youtube.com netflix.com bild.de"},
        {"listed_but_removed_meanwhile_is_gone", "", "foo.de", "foo.de youtube.com",
         "| | netflix.com reddit.com bild.de"},
    };
    for (const Case& c : cases) {
        std::optional<std::set<std::string>> listed;
        if (c.listed) {
            const Domains l = words(c.listed);
            listed.emplace(l.begin(), l.end());
        }
        EXPECT_EQ(shown(groupSites(sitesOf(c.sites), suggested(c.suggestions), listed, table)),
                  c.expected)
            << c.name;
    }
}

// Whatever was listed and whatever is ticked meanwhile, a domain shows at most once and
// every listed site shows somewhere.
TEST(GroupSites, EveryListedSiteShowsExactlyOnce) {
    const Domains pool = {"youtube.com", "netflix.com", "reddit.com",
                          "bild.de",     "foo.de",      "example.com"};
    for (unsigned sites = 0; sites < 64; ++sites) {
        for (unsigned listed = 0; listed < 64; listed += 5) {
            std::string onList;
            std::set<std::string> wasListed;
            for (size_t i = 0; i < pool.size(); ++i) {
                if (sites & (1u << i)) onList += pool[i] + " ";
                if (listed & (1u << i)) wasListed.insert(pool[i]);
            }
            SitesGroups g =
                groupSites(sitesOf(onList), suggested("foo.de reddit.com"), wasListed, table);
            std::map<std::string, int> seen;
            for (const std::string& x : words(shown(g)))
                if (x != "|") ++seen[x];
            for (const auto& [domain, count] : seen) EXPECT_EQ(count, 1) << domain;
            for (const std::string& d : words(onList)) EXPECT_EQ(seen.count(d), 1u) << d;
        }
    }
}

TEST(PresetSections, OneSectionPerKindThatHasRows) {
    std::vector<PresetSection> sections =
        presetSections({table[3], table[1], table[0]});  // no Social media left
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0].kind, "Video");
    EXPECT_EQ(sections[0].presets, (std::vector<Preset>{table[1], table[0]}));
    EXPECT_EQ(sections[1].kind, "News");
}

TEST(SuggestionsShown, FirstCaseThatApplies) {
    SitesGroups withRows;
    withRows.suggestions = suggested("foo.de");
    const SitesGroups noRows;
    struct Case {
        const char* name;
        SuggestionFacts facts;
        const SitesGroups& groups;
        SuggestionsShown shown;
    };
    const Case cases[] = {
        {"switched_off", {false, true, false, 1, 0}, withRows, SuggestionsShown::absent},
        {"no_history_in_this_process",
         {true, false, false, 1, 0},
         withRows,
         SuggestionsShown::absent},
        {"loading", {true, true, true, 0, 1}, noRows, SuggestionsShown::loading},
        {"reloading_keeps_the_rows", {true, true, true, 1, 0}, withRows, SuggestionsShown::list},
        {"rows", {true, true, false, 1, 1}, withRows, SuggestionsShown::list},
        {"locked_and_nothing_read", {true, true, false, 0, 2}, noRows, SuggestionsShown::locked},
        {"nothing_found", {true, true, false, 0, 0}, noRows, SuggestionsShown::noneFound},
        {"all_listed", {true, true, false, 3, 0}, noRows, SuggestionsShown::allListed},
        {"all_listed_some_locked", {true, true, false, 3, 1}, noRows, SuggestionsShown::allListed},
    };
    for (const Case& c : cases) EXPECT_EQ(suggestionsShown(c.facts, c.groups), c.shown) << c.name;
}

}  // namespace
}  // namespace tarrow
