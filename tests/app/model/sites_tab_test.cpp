#include "app/model/sites_tab.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/model/config_json.h"
#include "app/model/sites_texts.h"
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
    // The list as "a.com, b.de (off)".
    std::string domains() const {
        std::string out;
        for (const Site& site : store->config().sites)
            out += (out.empty() ? "" : ", ") + site.domain + (site.enabled ? "" : " (off)");
        return out;
    }
    // The file on disk says what the store holds, and no temporary file is left behind.
    void expectSaved() const {
        EXPECT_EQ(decodeConfig(readFile(folder / "config.json").value_or("")), store->config());
        for (const auto& entry : std::filesystem::directory_iterator(folder.path))
            EXPECT_EQ(entry.path().filename(), "config.json");
    }
};

// What typing an entry does to the list example.com (switched off), bild.de.
enum class Outcome { added, switchedOn, unchanged, notAddress, neverBlocked };

struct AddCase {
    const char* name;
    std::string typed;
    Outcome outcome;
    std::string domain;  // added; refused as protected; or quoted as not an address
};

const std::string before = "example.com (off), bild.de";

class Add : public testing::TestWithParam<AddCase> {};

TEST_P(Add, GivesTheSiteOrTheProblemAndNothingElse) {
    const AddCase& c = GetParam();
    std::string after = before;
    std::optional<std::string> problem;
    std::vector<std::string> logged;
    switch (c.outcome) {
        case Outcome::added:
            after += ", " + c.domain;
            logged = {"site added: " + c.domain};
            break;
        case Outcome::switchedOn:
            after = "example.com, bild.de";
            break;
        case Outcome::unchanged:
            break;
        case Outcome::notAddress:
            problem = notAnAddress(c.domain);
            break;
        case Outcome::neverBlocked:
            problem = neverBlocks(c.domain);
            break;
    }
    SitesRig t({Site::named("example.com", false), Site::named("bild.de")});
    t.tab->entry = c.typed;
    t.tab->add(t.tab->entry);

    EXPECT_EQ(t.domains(), after);
    EXPECT_EQ(t.tab->problem(), problem);
    EXPECT_EQ(t.logged, logged);
    // A refused entry stays in the field for correcting; an accepted one is emptied.
    EXPECT_EQ(t.tab->entry, problem ? c.typed : "");
    EXPECT_EQ(t.changes, after == before ? 0 : 1);
    t.expectSaved();
}

using enum Outcome;

const AddCase addCases[] = {
    {"typed_with_blanks_and_capitals", "  Neu.Example.ORG \t", added, "neu.example.org"},
    {"preset_name_with_space", "prime video", added, "primevideo.com"},
    {"first_label_of_a_preset_domain", "reddit", added, "reddit.com"},
    {"listed_but_off_is_switched_on", "Example.COM", switchedOn, ""},
    {"listed_and_on_changes_nothing", "www.bild.de", unchanged, ""},
    {"blank", " \t\u00A0 ", notAddress, ""},  // quoted trimmed
    {"two_words", "you tube", notAddress, "you tube"},
    {"protected_vendor_name", "https://www.apple.com/", neverBlocked, "apple.com"},
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
    EXPECT_EQ(t.domains(), "youtube.com");
}

TEST(Ticks, EachRowKindChangesTheListAsItSays) {
    struct Case {
        const char* name;
        const char* domain;
        bool on, removeWhenOff;
        std::string after, logged;  // logged: empty for nothing
    };
    const Case cases[] = {
        {"preset_ticked", "youtube.com", true, true, "bild.de, example.com (off), youtube.com",
         "site added: youtube.com"},
        {"preset_unticked_removes", "bild.de", false, true, "example.com (off)",
         "site removed: bild.de"},
        {"listed_unticked_only_switches_off", "bild.de", false, false,
         "bild.de (off), example.com (off)", ""},
        {"listed_ticked_switches_on", "example.com", true, false, "bild.de, example.com", ""},
        {"off_row_of_a_suggestion_unticked_removes", "example.com", false, true, "bild.de",
         "site removed: example.com"},
        {"unlisted_unticked_does_nothing", "youtube.com", false, true, "bild.de, example.com (off)",
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SitesRig t({Site::named("bild.de"), Site::named("example.com", false)});
        t.tab->setEnabled(c.domain, c.on, c.removeWhenOff);
        EXPECT_EQ(t.domains(), c.after);
        EXPECT_EQ(t.logged, c.logged.empty() ? std::vector<std::string>{}
                                             : std::vector<std::string>{c.logged});
        EXPECT_EQ(t.tab->enabled(c.domain), c.on);
        t.expectSaved();
    }
}

TEST(Remove, DropsTheSiteWithThatIdOnly) {
    Site twin = Site::named("example.com");
    SitesRig t({Site::named("example.com", false), twin});
    t.tab->remove(twin.id);
    EXPECT_EQ(t.domains(), "example.com (off)");
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
