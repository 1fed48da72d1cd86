// The Sites and Schedules tabs edit the configuration: a typed site becomes a host name
// that blocks (or a clear problem), each row's tick and removal changes that row only, every
// edit is saved at once, and the grouping shows each site exactly once.

#include <gtest/gtest.h>

#include "app/model/config_json.h"
#include "app/model/presets.h"
#include "app/model/schedules_tab.h"
#include "app/model/sites_grouping.h"
#include "app/model/sites_tab.h"
#include "app/model/sites_texts.h"
#include "common/hosts_section.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

using namespace test;

TEST(SiteNames, TypedTextBecomesAValidStoredDomainOrNone) {
    const std::pair<const char*, const char*> cases[] = {
        {"  example.com:8080/ \n", "example.com"},
        {"*.example.com..", "example.com"},
        {"www.www.example.com", "www.example.com"},
        {"\t\u00A0example.com\u3000", "example.com"},
        {"https://www.B\u00fccher.de/", "xn--bcher-kva.de"},
        {"localhost", nullptr},
        {"", nullptr},
        {"caf\xE9.de", nullptr},
        {"*.*.example.com", nullptr},
    };
    for (const auto& [typed, stored] : cases) {
        const std::optional<std::string> out = normalize(typed);
        EXPECT_EQ(out, stored ? std::optional<std::string>(stored) : std::nullopt) << typed;
        EXPECT_TRUE(!out || (validHost(*out) && !out->starts_with("*."))) << typed;
    }
    const std::string long252 = std::string(61, 'a') + "." + std::string(63, 'b') + "." +
                                std::string(63, 'c') + "." + std::string(59, 'd') + ".de";
    EXPECT_EQ(hostNames(long252), std::vector<std::string>{long252}) << "longer forms do not fit";
    for (bool german : {false, true})
        for (const Preset& p : presetsFor(german))
            EXPECT_TRUE(validHost(p.domain) && !isProtected(p.domain)) << p.domain;
}

struct SitesRig {
    TempFolder folder;
    std::vector<std::string> logged;
    int changes = 0;
    std::unique_ptr<Store> store;
    std::unique_ptr<SitesTab> tab;
    SitesRig() {
        writeFile(
            folder / "config.json",
            encodeConfig(Config({Site::named("example.com", false), Site::named("bild.de")}, {})));
        store = std::make_unique<Store>(folder.path);
        store->changed = [this] { ++changes; };
        tab = std::make_unique<SitesTab>(
            *store, [this](std::string_view line) { logged.emplace_back(line); });
    }
    // The list as "a.com- b.de" (- for switched off), checked against the file on disk.
    std::string domains() const {
        EXPECT_EQ(decodeConfig(readFile(folder / "config.json").value_or("")), store->config());
        std::string out;
        for (const Site& site : store->config().sites)
            out += (out.empty() ? "" : " ") + site.domain + (site.enabled ? "" : "-");
        return out;
    }
};

TEST(SitesTab, TypingAddsSwitchesOnOrSaysWhyNot) {
    struct Case {
        std::string typed, after, logged, problem;
    };
    const Case cases[] = {
        {"prime video", "example.com- bild.de primevideo.com", "site added: primevideo.com", ""},
        {"reddit", "example.com- bild.de reddit.com", "site added: reddit.com", ""},
        {"Example.COM", "example.com bild.de", "", ""},
        {"www.bild.de", "example.com- bild.de", "", ""},
        {"https://www.apple.com/", "example.com- bild.de", "", neverBlocks("apple.com")},
    };
    for (const Case& c : cases) {
        SitesRig t;
        t.tab->entry = c.typed;
        t.tab->add(t.tab->entry);
        EXPECT_EQ(t.domains(), c.after) << c.typed;
        EXPECT_EQ(t.tab->problem().value_or(""), c.problem);
        EXPECT_EQ(t.logged.empty() ? "" : t.logged.back(), c.logged);
        EXPECT_EQ(t.tab->entry, c.problem.empty() ? "" : c.typed) << "kept for correcting";
        EXPECT_EQ(t.changes, c.after == "example.com- bild.de" ? 0 : 1);
    }
}

// Unticking a site that is not listed changes nothing; removal goes by id, not by name.
TEST(SitesTab, UntickingAndRemovalTouchOnlyTheirOwnSite) {
    SitesRig t;
    t.tab->setEnabled("youtube.com", false, true);
    const Site twin = Site::named("example.com");
    Config config = t.store->config();
    config.sites.push_back(twin);
    t.store->setConfig(config);
    t.tab->remove(twin.id);
    t.tab->remove(twin.id);
    EXPECT_EQ(t.domains(), "example.com- bild.de");
    EXPECT_EQ(t.logged, std::vector<std::string>{"site removed: example.com"});
}

// Whatever was listed when the tab showed and whatever is ticked since, a domain shows at
// most once and every listed site shows somewhere.
TEST(SitesGrouping, EveryListedSiteShowsExactlyOnce) {
    const std::vector<Preset> table = {{"YouTube", "youtube.com", "Video"},
                                       {"Reddit", "reddit.com", "Social media"},
                                       {"Bild", "bild.de", "News"}};
    const std::vector<std::string> pool = {"youtube.com", "reddit.com", "bild.de", "foo.de",
                                           "example.com"};
    const std::vector<Suggestion> suggestions = {{"foo.de", 20}, {"reddit.com", 20}};
    for (unsigned sites = 0; sites < 32; ++sites) {
        for (unsigned listed = 0; listed < 34; listed += 3) {
            Config config;
            std::set<std::string> wasListed;
            for (size_t i = 0; i < pool.size(); ++i) {
                if (sites & (1u << i)) config.sites.push_back(Site::named(pool[i]));
                if (listed & (1u << i)) wasListed.insert(pool[i]);
            }
            const SitesGroups g = groupSites(
                config, suggestions, listed == 33 ? std::nullopt : std::optional(wasListed), table);
            std::multiset<std::string> seen;
            for (const Site& s : g.yourList) seen.insert(s.domain);
            for (const Suggestion& s : g.suggestions) seen.insert(s.domain);
            for (const Preset& p : g.presets) seen.insert(p.domain);
            for (const std::string& d : pool) EXPECT_LE(seen.count(d), 1u) << d;
            for (const Site& s : config.sites) EXPECT_EQ(seen.count(s.domain), 1u) << s.domain;
        }
    }
}

Schedule schedule(const std::string& id, bool on, std::set<int> days, int start, int end) {
    return {id, on, std::move(days), start, end};
}

// Every edit is saved at once and touches its own row; a row whose schedule moved or went,
// a day outside the week and a time outside the day are refused. A file edited by hand
// (odd days and times, one id twice) keeps the values no edit asked to change.
TEST(SchedulesTab, EachEditChangesItsRowOnlyAndIsSavedAtOnce) {
    const std::string id = "11111111-1111-4111-8111-111111111111";
    const std::string other = "22222222-2222-4222-8222-222222222222";
    TempFolder folder;
    writeFile(folder / "config.json",
              encodeConfig(Config(
                  {}, {schedule(id, true, {0, 3, 9}, -5, 2000), schedule(id, true, {2}, 540, 720),
                       schedule(other, true, {2}, 540, 720)})));
    Store store(folder.path);
    SchedulesTab tab(store);
    for (bool taken :
         {tab.setDay({0, id}, 0, true), tab.setStart({0, id}, -1), tab.setEnd({0, id}, 1440),
          tab.setEnabled({3, id}, false), tab.setEnabled({2, id}, false), tab.remove({2, id})})
        EXPECT_FALSE(taken);
    EXPECT_TRUE(tab.setEnabled({1, id}, false));
    EXPECT_TRUE(tab.setDay({0, id}, 4, true));
    EXPECT_TRUE(tab.setDay({0, id}, 3, false));
    EXPECT_TRUE(tab.setEnd({2, other}, 120));
    EXPECT_TRUE(tab.remove({1, id}));
    EXPECT_EQ(decodeConfig(readFile(folder / "config.json").value_or(""))->schedules,
              (std::vector<Schedule>{schedule(id, true, {0, 4, 9}, -5, 2000),
                                     schedule(other, true, {2}, 540, 120)}));
}

}  // namespace
}  // namespace tarrow
