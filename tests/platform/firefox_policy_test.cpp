#include "platform/firefox_policy.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using namespace tarrow::platform;
using tarrow::test::TempFolder;
using tarrow::test::writeFile;
using Kind = PolicyChange::Kind;
using json = nlohmann::json;
namespace fs = std::filesystem;

namespace {

const FirefoxPlaces places{"/etc/firefox/policies",
                           {"/usr/lib/firefox-esr/distribution"},
                           {"/usr/lib/firefox-esr"},
                           "firefox-policies.kept"};
const json ours = {{"Enabled", false}, {"Locked", true}};
const json cache = {{"Value", firefoxNameCacheSeconds}, {"Status", "locked"}};
const json grace = {{"Value", 0}, {"Status", "locked"}};

// The policies with Tarrow's entries merged in.
json withOurs(json policies) {
    policies["DNSOverHTTPS"] = ours;
    policies["Preferences"]["network.dnsCacheExpiration"] = cache;
    policies["Preferences"]["network.dnsCacheExpirationGracePeriod"] = grace;
    return policies;
}

struct Rig {
    TempFolder root, state;
    const std::string file = root.path + "/etc/firefox/policies/policies.json";
    const std::string backup = state / "firefox-policies.kept";
    Rig() { fs::create_directories(root.path + "/usr/lib/firefox-esr"); }
    std::vector<PolicyChange> keep(bool on) {
        return keepFirefoxPolicy(on, places, backup, root.path);
    }
};

std::string read(const std::string& path) {
    return tarrow::test::readFile(path).value_or("");
}

json policiesOf(const std::string& path) {
    return json::parse(read(path))["policies"];
}

// The administrator's file, in any formatting and with any mode, comes back byte for
// byte; meanwhile it holds our entries beside every foreign policy and preference.
TEST(FirefoxPolicy, MergedAndPutBackByteForByte) {
    const std::string foreign[] = {
        "{ \"policies\" : {\"BlockAboutConfig\":true,\n\t\"Homepage\": {\"URL\": \"http://x\"}}}",
        "{\"policies\": {\"DNSOverHTTPS\": {\"Enabled\": true, \"ProviderURL\": "
        "\"https://doh.example/q\"}, \"DisableTelemetry\": true}}\n",
        "{\"comment\": \"no policies yet\"}\n",
        // The administrator's own setting equals ours: it stays.
        "{\"policies\": {\"DNSOverHTTPS\": {\"Locked\": true, \"Enabled\": false}}}",
        "{\"policies\": {\"Preferences\": {\"browser.startup.page\": {\"Value\": 3}, "
        "\"network.dnsCacheExpirationGracePeriod\": {\"Status\": \"locked\", \"Value\": 0}}}}",
    };
    for (const std::string& text : foreign) {
        Rig rig;
        writeFile(rig.file, text, 0640);
        auto changes = rig.keep(true);
        ASSERT_EQ(changes.size(), 1u) << text;
        EXPECT_EQ(changes[0].kind, Kind::written);
        json expected = json::parse(text);
        expected["policies"] = withOurs(expected["policies"]);
        EXPECT_EQ(json::parse(read(rig.file)), expected);
        EXPECT_EQ(fs::status(rig.file).permissions(), fs::perms(0640));
        EXPECT_EQ(fs::status(rig.backup).permissions(), fs::perms(0600));
        EXPECT_TRUE(rig.keep(true).empty()) << "in place already";

        changes = rig.keep(false);
        ASSERT_EQ(changes.size(), 1u);
        EXPECT_EQ(changes[0].kind, Kind::removed);
        EXPECT_EQ(read(rig.file), text);
        EXPECT_EQ(fs::status(rig.file).permissions(), fs::perms(0640));
        EXPECT_FALSE(fs::exists(rig.backup));
        EXPECT_TRUE(rig.keep(false).empty());
    }
}

TEST(FirefoxPolicy, CreatedWhereNoneWasAndRemovedAgain) {
    Rig rig;
    EXPECT_EQ(rig.keep(true).size(), 1u);
    EXPECT_EQ(policiesOf(rig.file), withOurs(json::object()));
    rig.keep(false);
    EXPECT_FALSE(fs::exists(rig.file));
    EXPECT_TRUE(fs::exists(rig.root.path + "/etc/firefox/policies")) << "the folder may stay";

    // The installation's own policies would be shadowed by a system-wide file: they are
    // carried over while blocking, and apply alone again afterwards.
    const std::string distribution =
        rig.root.path + "/usr/lib/firefox-esr/distribution/policies.json";
    writeFile(distribution, "{\"policies\": {\"DisableAppUpdate\": true}}");
    rig.keep(true);
    EXPECT_EQ(policiesOf(rig.file), withOurs({{"DisableAppUpdate", true}}));
    rig.keep(false);
    EXPECT_FALSE(fs::exists(rig.file));
    EXPECT_EQ(read(distribution), "{\"policies\": {\"DisableAppUpdate\": true}}");

    TempFolder bare;  // no Firefox, no folder: nothing
    EXPECT_TRUE(keepFirefoxPolicy(true, places, rig.backup, bare.path).empty());
    EXPECT_FALSE(fs::exists(bare.path + "/etc"));
}

TEST(FirefoxPolicy, RewrittenMeanwhileOnlyOurEntriesGo) {
    Rig rig;
    writeFile(rig.file, "{\"policies\": {\"DNSOverHTTPS\": {\"Enabled\": true}}}");
    rig.keep(true);
    json now = json::parse(read(rig.file));
    now["policies"]["Bookmarks"] = json::array();
    writeFile(rig.file, now.dump());
    EXPECT_EQ(rig.keep(true).size(), 1u) << "the new file is merged anew";
    EXPECT_EQ(policiesOf(rig.file)["Bookmarks"], json::array());
    writeFile(rig.file, now.dump());  // rewritten again, after our last write
    rig.keep(false);
    EXPECT_EQ(policiesOf(rig.file),
              (json{{"Bookmarks", json::array()}, {"DNSOverHTTPS", {{"Enabled", true}}}}));

    // A file rewritten without our key is not ours to change any more.
    rig.keep(true);
    writeFile(rig.file, "{\"policies\": {}}");
    EXPECT_TRUE(rig.keep(false).empty());
    EXPECT_EQ(read(rig.file), "{\"policies\": {}}");
    EXPECT_FALSE(fs::exists(rig.backup));
}

// The administrator decided: their value for one of our preferences stays, and the
// written change says so (the helper logs it with the write, so once).
TEST(FirefoxPolicy, AnAdministratorsPreferenceWins) {
    for (const json& theirs : {json{{"Value", 3600}, {"Status", "locked"}}, json(60)}) {
        Rig rig;
        const std::string text =
            json{{"policies", {{"Preferences", {{"network.dnsCacheExpiration", theirs}}}}}}.dump();
        writeFile(rig.file, text);
        auto changes = rig.keep(true);
        ASSERT_EQ(changes.size(), 1u);
        EXPECT_EQ(changes[0].why, "the administrator\u2019s network.dnsCacheExpiration " +
                                      theirs.dump() + " stays");
        json expected = withOurs(json::object());
        expected["Preferences"]["network.dnsCacheExpiration"] = theirs;
        EXPECT_EQ(policiesOf(rig.file), expected);
        EXPECT_TRUE(rig.keep(true).empty());
        rig.keep(false);
        EXPECT_EQ(read(rig.file), text);
    }
}

// Firefox's package replaced the file while our entries were in it: the next pass merges
// them into the new file, and removal puts the new file back, not the old one.
TEST(FirefoxPolicy, AFileReplacedByAnUpgradeIsMergedAgain) {
    Rig rig;
    writeFile(rig.file, "{\"policies\": {\"DisableAppUpdate\": false}}");
    rig.keep(true);
    const std::string upgraded = "{\"policies\": {\"DisableAppUpdate\": true}}\n";
    writeFile(rig.file, upgraded);
    auto changes = rig.keep(true);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].kind, Kind::written);
    EXPECT_EQ(policiesOf(rig.file), withOurs({{"DisableAppUpdate", true}}));
    rig.keep(false);
    EXPECT_EQ(read(rig.file), upgraded);
}

// A backup of the helper before the preferences: its file gets them on the next pass and
// still comes back byte for byte.
TEST(FirefoxPolicy, AnEarlierHelpersBackupIsCarriedOn) {
    Rig rig;
    const std::string original = "{\"policies\": {\"DNSOverHTTPS\": {\"Enabled\": true}}}";
    const std::string earlier = "{\"policies\": {\"DNSOverHTTPS\": " + ours.dump() + "}}\n";
    writeFile(rig.file, earlier);
    writeFile(rig.backup,
              json{{"original", original}, {"previous", {{"Enabled", true}}}, {"written", earlier}}
                  .dump());
    EXPECT_EQ(rig.keep(true).size(), 1u);
    EXPECT_EQ(policiesOf(rig.file), withOurs(json::object()));
    rig.keep(false);
    EXPECT_EQ(read(rig.file), original);
}

TEST(FirefoxPolicy, LeftAloneWhenNotUsable) {
    struct Case {
        const char* what;
        std::function<void(Rig&, const std::string& elsewhere)> arrange;
        std::string why;
    };
    const std::string notJson = "not a JSON object with a \"policies\" object";
    const std::string preferences = "its \"Preferences\" is not an object";
    const Case cases[] = {
        {"not JSON", [](Rig& r, const std::string&) { writeFile(r.file, "{\"policies\": {,}"); },
         notJson},
        {"an array", [](Rig& r, const std::string&) { writeFile(r.file, "[]"); }, notJson},
        {"policies not an object",
         [](Rig& r, const std::string&) { writeFile(r.file, "{\"policies\": []}"); }, notJson},
        {"Preferences not an object",
         [](Rig& r, const std::string&) {
             writeFile(r.file, "{\"policies\": {\"Preferences\": [1]}}");
         },
         preferences},
        {"file is a link",
         [](Rig& r, const std::string& elsewhere) {
             writeFile(elsewhere + "/p.json", "{}");
             fs::create_directories(fs::path(r.file).parent_path());
             fs::create_symlink(elsewhere + "/p.json", r.file);
         },
         "a symbolic link, not followed"},
        {"folder is a link",
         [](Rig& r, const std::string& elsewhere) {
             fs::create_directories(r.root.path + "/etc/firefox");
             fs::create_directory_symlink(elsewhere, r.root.path + "/etc/firefox/policies");
         },
         "a symbolic link, not followed"},
    };
    for (const Case& c : cases) {
        Rig rig;
        TempFolder elsewhere;
        c.arrange(rig, elsewhere.path);
        const std::string before =
            fs::is_regular_file(fs::symlink_status(rig.file)) ? read(rig.file) : "";
        auto changes = rig.keep(true);
        ASSERT_EQ(changes.size(), 1u) << c.what;
        EXPECT_EQ(changes[0].kind, Kind::leftAlone) << c.what;
        EXPECT_EQ(changes[0].why, c.why) << c.what;
        EXPECT_TRUE(rig.keep(false).empty()) << c.what;
        EXPECT_FALSE(fs::exists(rig.backup)) << c.what;
        if (!before.empty()) {
            EXPECT_EQ(read(rig.file), before) << c.what;
        }
        if (fs::exists(elsewhere.path + "/p.json")) {
            EXPECT_EQ(read(elsewhere.path + "/p.json"), "{}");
        }
        EXPECT_FALSE(fs::exists(elsewhere.path + "/policies.json")) << c.what;
    }
}

}  // namespace
