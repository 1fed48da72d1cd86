#include "app/model/sites_tab.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/model/config_json.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

using namespace test;

// A store in a scratch folder, its log, its change count and the tab on top of it.
struct SitesRig {
    TempFolder folder;
    std::vector<std::string> logged;
    int changes = 0;
    std::unique_ptr<Store> store;
    std::unique_ptr<SitesTab> tab;

    explicit SitesRig(const std::vector<Site>& sites) {
        writeFile(folder / "config.json", encodeConfig(Config(sites, {})));
        store = std::make_unique<Store>(folder.path);
        store->changed = [this] { ++changes; };
        tab = std::make_unique<SitesTab>(
            *store, [this](std::string_view line) { logged.emplace_back(line); });
    }
    std::vector<std::string> domains() const {
        std::vector<std::string> out;
        for (const Site& site : store->config().sites)
            out.push_back(site.domain + (site.enabled ? "" : " (off)"));
        return out;
    }
    // The file on disk says what the store holds, and no temporary file is left behind.
    void expectSaved() const {
        EXPECT_EQ(decodeConfig(readFile(folder / "config.json").value_or("")), store->config());
        for (const auto& entry : std::filesystem::directory_iterator(folder.path))
            EXPECT_EQ(entry.path().filename(), "config.json");
    }
};

using Domains = std::vector<std::string>;

struct AddCase {
    const char* name;
    std::string typed;
    Domains after;  // the list afterwards, in order
    std::optional<std::string> problem;
    std::vector<std::string> logged;
};

std::string notAddress(const std::string& quoted) {
    return "\u201C" + quoted +
           "\u201D is not an address Tarrow can block. Type it like example.com.";
}
std::string never(const std::string& domain) {
    return "Tarrow never blocks " + domain +
           ": this computer needs it for updates, iCloud or the local network.";
}

const Domains before = {"example.com (off)", "bild.de"};

class Add : public testing::TestWithParam<AddCase> {};

// The list starts as example.com (switched off) and bild.de.
TEST_P(Add, GivesTheSiteOrTheProblemAndNothingElse) {
    const AddCase& c = GetParam();
    SitesRig t({Site::named("example.com", false), Site::named("bild.de")});
    t.tab->entry = c.typed;
    t.tab->add(t.tab->entry);

    EXPECT_EQ(t.domains(), c.after);
    EXPECT_EQ(t.tab->problem(), c.problem);
    EXPECT_EQ(t.logged, c.logged);
    // A refused entry stays in the field for correcting; an accepted one is emptied.
    EXPECT_EQ(t.tab->entry, c.problem ? c.typed : "");
    EXPECT_EQ(t.changes, c.after == before ? 0 : 1);
    t.expectSaved();
}

Domains with(const std::string& added) {
    return {"example.com (off)", "bild.de", added};
}

const AddCase addCases[] = {
    {"typed_with_blanks_and_capitals",
     "  Neu.Example.ORG \t",
     with("neu.example.org"),
     std::nullopt,
     {"site added: neu.example.org"}},
    {"pasted_address_with_user_and_port",
     "https://user:pw@www.YouTube.com:443/watch?v=1",
     with("youtube.com"),
     std::nullopt,
     {"site added: youtube.com"}},
    {"preset_name_in_capitals",
     "YOUTUBE",
     with("youtube.com"),
     std::nullopt,
     {"site added: youtube.com"}},
    {"preset_name_with_space",
     "prime video",
     with("primevideo.com"),
     std::nullopt,
     {"site added: primevideo.com"}},
    {"preset_name_beyond_ascii",
     "S\u00DCDDEUTSCHE",
     with("sueddeutsche.de"),
     std::nullopt,
     {"site added: sueddeutsche.de"}},
    {"first_label_of_a_preset_domain",
     "reddit",
     with("reddit.com"),
     std::nullopt,
     {"site added: reddit.com"}},
    {"listed_but_off_is_switched_on", "Example.COM", {"example.com", "bild.de"}, std::nullopt, {}},
    {"listed_and_on_changes_nothing", "www.bild.de", before, std::nullopt, {}},
    {"trailing_dot",
     "neu.example.org.",
     with("neu.example.org"),
     std::nullopt,
     {"site added: neu.example.org"}},
    {"punycode",
     "xn--bcher-kva.de",
     with("xn--bcher-kva.de"),
     std::nullopt,
     {"site added: xn--bcher-kva.de"}},
    {"international_name",
     "B\u00FCcher.de",
     with("xn--bcher-kva.de"),
     std::nullopt,
     {"site added: xn--bcher-kva.de"}},
    {"empty", "", before, notAddress(""), {}},
    {"blank", " \t\u00A0 ", before, notAddress(""), {}},
    {"two_words", "you tube", before, notAddress("you tube"), {}},
    {"ten_thousand_characters",
     std::string(10000, 'a'),
     before,
     notAddress(std::string(60, 'a') + "\u2026"),
     {}},
    {"ip_address", "192.168.0.1", before, notAddress("192.168.0.1"), {}},
    {"localhost", "localhost", before, notAddress("localhost"), {}},
    {"protected_vendor_name", "https://www.apple.com/", before, never("apple.com"), {}},
    {"protected_local_name", "printer.local", before, never("printer.local"), {}},
    {"protected_private_suffix", "router.LAN", before, never("router.lan"), {}},
    {"protected_reverse_zone",
     "1.0.168.192.in-addr.arpa",
     before,
     never("1.0.168.192.in-addr.arpa"),
     {}},
    {"joiner_not_allowed_there",
     "b\u00FCcher\u200D.de",
     before,
     notAddress("b\u00FCcher\uFFFD.de"),
     {}},
    {"control_character_inside", "exa\x01mple.com", before, notAddress("exa\uFFFDmple.com"), {}},
    {"control_character_after", "example.org\x07", before, notAddress("example.org\uFFFD"), {}},
    {"right_to_left_mark", "\u200Fexample.org", before, notAddress("\uFFFDexample.org"), {}},
    {"right_to_left_override", "moc.elpmaxe\u202E", before, notAddress("moc.elpmaxe\uFFFD"), {}},
};

INSTANTIATE_TEST_SUITE_P(Typed, Add, testing::ValuesIn(addCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AddField, AddWorksOnlyWithMoreThanWhiteSpace) {
    SitesRig t({});
    for (const char* blank : {"", " ", "\t", "\u00A0\u3000"}) {
        t.tab->entry = blank;
        EXPECT_FALSE(t.tab->canAdd()) << blank;
    }
    t.tab->entry = " a";
    EXPECT_TRUE(t.tab->canAdd());
}

TEST(AddField, ProblemGoesOnceASiteIsAdded) {
    SitesRig t({});
    t.tab->add("you tube");
    ASSERT_TRUE(t.tab->problem());
    t.tab->add("youtube");
    EXPECT_FALSE(t.tab->problem());
    EXPECT_EQ(t.domains(), Domains{"youtube.com"});
}

TEST(Ticks, EachRowKindChangesTheListAsItSays) {
    struct Case {
        const char* name;
        const char* domain;
        bool on;
        bool removeWhenOff;
        Domains after;
        std::vector<std::string> logged;
    };
    const Case cases[] = {
        {"preset_ticked",
         "youtube.com",
         true,
         true,
         {"bild.de", "example.com (off)", "youtube.com"},
         {"site added: youtube.com"}},
        {"preset_unticked_removes",
         "bild.de",
         false,
         true,
         {"example.com (off)"},
         {"site removed: bild.de"}},
        {"listed_unticked_only_switches_off",
         "bild.de",
         false,
         false,
         {"bild.de (off)", "example.com (off)"},
         {}},
        {"listed_ticked_switches_on", "example.com", true, false, {"bild.de", "example.com"}, {}},
        {"off_row_of_a_suggestion_unticked_removes",
         "example.com",
         false,
         true,
         {"bild.de"},
         {"site removed: example.com"}},
        {"unlisted_unticked_does_nothing",
         "youtube.com",
         false,
         true,
         {"bild.de", "example.com (off)"},
         {}},
    };
    for (const Case& c : cases) {
        SitesRig t({Site::named("bild.de"), Site::named("example.com", false)});
        t.tab->setEnabled(c.domain, c.on, c.removeWhenOff);
        EXPECT_EQ(t.domains(), c.after) << c.name;
        EXPECT_EQ(t.logged, c.logged) << c.name;
        const bool ticked = std::find(c.after.begin(), c.after.end(), c.domain) != c.after.end();
        EXPECT_EQ(t.tab->enabled(c.domain), ticked) << c.name;
        t.expectSaved();
    }
}

TEST(Remove, DropsTheSiteWithThatIdOnly) {
    Site twin = Site::named("example.com");
    SitesRig t({Site::named("example.com", false), twin});
    t.tab->remove(twin.id);
    EXPECT_EQ(t.domains(), Domains{"example.com (off)"});
    EXPECT_EQ(t.logged, std::vector<std::string>{"site removed: example.com"});
    t.tab->remove(twin.id);  // gone already: nothing happens, nothing is logged
    EXPECT_EQ(t.logged.size(), 1u);
    t.expectSaved();
}

TEST(Showing, ListedFollowsTheTabAndSuggestionsAreAskedFor) {
    SitesRig t({Site::named("bild.de")});
    std::vector<bool> loads;
    t.store->suggestionLoader = [&](Store&, bool force) { loads.push_back(force); };
    EXPECT_FALSE(t.tab->listed());
    t.tab->appear();
    EXPECT_EQ(t.tab->listed(), std::set<std::string>{"bild.de"});
    EXPECT_EQ(loads, std::vector<bool>{false});
    t.tab->setEnabled("youtube.com", true, true);
    EXPECT_EQ(t.tab->listed(), std::set<std::string>{"bild.de"});
    t.tab->leave();
    EXPECT_FALSE(t.tab->listed());
    t.tab->appear();
    EXPECT_EQ(t.tab->listed(), (std::set<std::string>{"bild.de", "youtube.com"}));
}

}  // namespace
}  // namespace tarrow
