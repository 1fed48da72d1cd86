#include "app/model/sites_grouping.h"

#include <gtest/gtest.h>

#include <map>

namespace tarrow {
namespace {

const std::vector<Preset> table = {
    {"YouTube", "youtube.com", "Video"},
    {"Netflix", "netflix.com", "Video"},
    {"Reddit", "reddit.com", "Social media"},
    {"Bild", "bild.de", "News"},
};

using Domains = std::vector<std::string>;

Config sitesOf(const Domains& domains) {
    Config config;
    for (const std::string& d : domains) config.sites.push_back(Site::named(d));
    return config;
}

std::vector<Suggestion> suggested(const Domains& domains) {
    std::vector<Suggestion> out;
    for (const std::string& d : domains) out.push_back({d, 20});
    return out;
}

struct Shown {
    Domains yourList, suggestions, presets;
    bool operator==(const Shown&) const = default;
};

Shown shown(const SitesGroups& g) {
    Shown s;
    for (const Site& site : g.yourList) s.yourList.push_back(site.domain);
    for (const Suggestion& x : g.suggestions) s.suggestions.push_back(x.domain);
    for (const Preset& p : g.presets) s.presets.push_back(p.domain);
    return s;
}

std::ostream& operator<<(std::ostream& out, const Shown& s) {
    auto list = [&](const Domains& d) {
        for (const std::string& x : d) out << x << ' ';
        out << "| ";
    };
    list(s.yourList);
    list(s.suggestions);
    list(s.presets);
    return out;
}

TEST(GroupSites, WhereEachDomainShows) {
    struct Case {
        const char* name;
        Domains sites;
        Domains suggestions;
        std::optional<std::set<std::string>> listed;
        Shown expected;
    };
    const Case cases[] = {
        {"before_the_tab_shows_the_list_stands_in",
         {"youtube.com", "example.com"},
         {"youtube.com", "foo.de"},
         std::nullopt,
         {{"youtube.com", "example.com"}, {"foo.de"}, {"netflix.com", "reddit.com", "bild.de"}}},
        {"preset_ticked_while_open_keeps_its_place",
         {"example.com", "youtube.com"},
         {},
         std::set<std::string>{"example.com"},
         {{"example.com"}, {}, {"youtube.com", "netflix.com", "reddit.com", "bild.de"}}},
        {"after_showing_again_it_is_on_the_list",
         {"example.com", "youtube.com"},
         {},
         std::set<std::string>{"example.com", "youtube.com"},
         {{"example.com", "youtube.com"}, {}, {"netflix.com", "reddit.com", "bild.de"}}},
        {"typed_site_offered_nowhere_shows_at_once",
         {"new.example"},
         {"foo.de"},
         std::set<std::string>{},
         {{"new.example"}, {"foo.de"}, {"youtube.com", "netflix.com", "reddit.com", "bild.de"}}},
        {"suggestion_ticked_while_open_stays_a_suggestion",
         {"foo.de"},
         {"foo.de"},
         std::set<std::string>{},
         {{}, {"foo.de"}, {"youtube.com", "netflix.com", "reddit.com", "bild.de"}}},
        {"suggested_preset_shows_once_as_suggestion",
         {},
         {"reddit.com"},
         std::set<std::string>{},
         {{}, {"reddit.com"}, {"youtube.com", "netflix.com", "bild.de"}}},
        {"listed_but_removed_meanwhile_is_gone",
         {},
         {"foo.de"},
         std::set<std::string>{"foo.de", "youtube.com"},
         {{}, {}, {"netflix.com", "reddit.com", "bild.de"}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(shown(groupSites(sitesOf(c.sites), suggested(c.suggestions), c.listed, table)),
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
            Domains onList;
            std::set<std::string> wasListed;
            for (size_t i = 0; i < pool.size(); ++i) {
                if (sites & (1u << i)) onList.push_back(pool[i]);
                if (listed & (1u << i)) wasListed.insert(pool[i]);
            }
            SitesGroups g =
                groupSites(sitesOf(onList), suggested({"foo.de", "reddit.com"}), wasListed, table);
            std::map<std::string, int> seen;
            Shown s = shown(g);
            for (const Domains* d : {&s.yourList, &s.suggestions, &s.presets})
                for (const std::string& x : *d) ++seen[x];
            for (const auto& [domain, count] : seen) EXPECT_EQ(count, 1) << domain;
            for (const std::string& d : onList) EXPECT_EQ(seen.count(d), 1u) << d;
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
    withRows.suggestions = suggested({"foo.de"});
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
