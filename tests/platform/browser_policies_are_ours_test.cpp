// Browser policies are ours to add and remove, never anyone else's: Tarrow's own files go
// where a browser is, readable by all, and go again; the administrator's Firefox file
// gets our entries beside theirs and comes back byte for byte; a link, a file of our name
// that is not ours, or a file we cannot read as policies is left exactly as it is. (The
// extension's policy beside an administrator's is the extension's whole-program test.)

#include "platform/browser_policies.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "platform/browser_extension.h"
#include "platform/firefox_policy.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using namespace tarrow::platform;
using tarrow::test::TempFolder;
using tarrow::test::writeFile;
using Kind = PolicyChange::Kind;
using json = nlohmann::json;
namespace fs = std::filesystem;

namespace {

const std::vector<PolicyFolder> folders{
    {"Chromium", "/etc/chromium/policies/managed", "/usr/lib/chromium"},
    {"Google Chrome", "/etc/opt/chrome/policies/managed", "/opt/google/chrome"},
};
const std::string chromium = "/etc/chromium/policies/managed",
                  chrome = "/etc/opt/chrome/policies/managed";
const std::string dns(dnsPolicyName);
const FirefoxPlaces places{"/etc/firefox/policies",
                           {"/usr/lib/firefox-esr/distribution"},
                           {"/usr/lib/firefox-esr"},
                           "firefox-policies.kept"};

std::string read(const std::string& path) {
    return tarrow::test::readFile(path).value_or("");
}

// The policies with Tarrow's entries merged in.
json withOurs(json policies) {
    policies["DNSOverHTTPS"] = {{"Enabled", false}, {"Locked", true}};
    policies["Preferences"]["network.dnsCacheExpiration"] = {{"Value", firefoxNameCacheSeconds},
                                                             {"Status", "locked"}};
    policies["Preferences"]["network.dnsCacheExpirationGracePeriod"] = {{"Value", 0},
                                                                        {"Status", "locked"}};
    return policies;
}

struct Root {
    TempFolder root, state;
    const std::string firefox = root.path + "/etc/firefox/policies/policies.json";
    const std::string backup = state / "firefox-policies.kept";
    Root() {
        fs::create_directories(root.path + "/usr/lib/chromium");
        fs::create_directories(root.path + "/usr/lib/firefox-esr");
    }
    std::vector<PolicyChange> keep(bool on) {
        std::vector<PolicyChange> all = keepDnsPolicies(on, folders, root.path);
        for (PolicyChange& c : keepFirefoxPolicy(on, places, backup, root.path)) all.push_back(c);
        return all;
    }
};

// Written readable by the browsers' users whatever the umask, once; a browser's folder
// made while idle, for it to watch; nothing where no browser is.
TEST(BrowserPolicies, WrittenWhereABrowserIsAndRemovedAgain) {
    Root r;
    fs::create_directories(r.root.path + "/opt/google/chrome");
    EXPECT_TRUE(r.keep(false).empty());
    EXPECT_TRUE(fs::is_empty(r.root.path + chrome));
    const mode_t mask = ::umask(077);
    EXPECT_EQ(r.keep(true).size(), 3u);
    ::umask(mask);
    for (const std::string& folder : {chromium, chrome}) {
        EXPECT_EQ(fs::status(r.root.path + folder + "/" + dns).permissions(), fs::perms(0644));
        EXPECT_EQ(fs::directory_iterator(r.root.path + folder)->path().filename(), dns);
    }
    EXPECT_TRUE(r.keep(true).empty());
    EXPECT_EQ(r.keep(false).size(), 3u);
    EXPECT_TRUE(r.keep(false).empty());
    TempFolder bare;
    EXPECT_TRUE(keepDnsPolicies(true, folders, bare.path).empty());
    EXPECT_TRUE(keepFirefoxPolicy(true, places, r.backup, bare.path).empty());
    EXPECT_FALSE(fs::exists(bare.path + "/etc"));
}

// The administrator's file, in any formatting and mode, holds our entries beside theirs
// meanwhile (their own value for one of our preferences stays), follows their rewrites
// and an upgrade's, and afterwards is what they last wrote, byte for byte.
TEST(BrowserPolicies, TheAdministratorsFirefoxFileComesBack) {
    const std::string texts[] = {
        "{ \"policies\" : {\"BlockAboutConfig\":true,\n\t\"Homepage\": {\"URL\": \"http://x\"}}}",
        "{\"policies\": {\"DNSOverHTTPS\": {\"Enabled\": true, \"ProviderURL\": "
        "\"https://d/q\"}}}\n",
        "{\"policies\": {\"Preferences\": {\"network.dnsCacheExpiration\": 60}}}",
    };
    for (const std::string& text : texts) {
        Root r;
        writeFile(r.firefox, text, 0640);
        ASSERT_EQ(keepFirefoxPolicy(true, places, r.backup, r.root.path).at(0).kind, Kind::written);
        json expected = json::parse(text);
        expected["policies"] = withOurs(expected["policies"]);
        if (text.find("60") != std::string::npos)
            expected["policies"]["Preferences"]["network.dnsCacheExpiration"] = 60;
        EXPECT_EQ(json::parse(read(r.firefox)), expected);
        EXPECT_EQ(fs::status(r.backup).permissions(), fs::perms(0600));
        EXPECT_TRUE(keepFirefoxPolicy(true, places, r.backup, r.root.path).empty());
        keepFirefoxPolicy(false, places, r.backup, r.root.path);
        EXPECT_EQ(read(r.firefox), text);
        EXPECT_EQ(fs::status(r.firefox).permissions(), fs::perms(0640));
        EXPECT_FALSE(fs::exists(r.backup));
    }
    Root r;
    writeFile(r.firefox, "{\"policies\": {\"DNSOverHTTPS\": {\"Enabled\": true}}}");
    keepFirefoxPolicy(true, places, r.backup, r.root.path);
    const std::string upgraded = "{\"policies\": {\"DisableAppUpdate\": true}}\n";
    writeFile(r.firefox, upgraded);  // replaced by Firefox's package: merged anew
    EXPECT_EQ(keepFirefoxPolicy(true, places, r.backup, r.root.path).size(), 1u);
    json now = json::parse(read(r.firefox));
    EXPECT_EQ(now["policies"], withOurs({{"DisableAppUpdate", true}}));
    now["policies"]["Bookmarks"] = json::array();
    writeFile(r.firefox, now.dump());  // rewritten by the administrator: only ours goes
    keepFirefoxPolicy(false, places, r.backup, r.root.path);
    EXPECT_EQ(json::parse(read(r.firefox))["policies"],
              (json{{"Bookmarks", json::array()}, {"DisableAppUpdate", true}}));
}

TEST(BrowserPolicies, NothingFollowedOrReplaced) {
    const std::string link = "a symbolic link, not followed",
                      notOurs = "a file of that name that is not ours";
    struct Case {
        std::string file;  // under the root
        std::function<void(const std::string& root, const std::string& elsewhere)> arrange;
        std::string why;
    };
    const auto text = [](const std::string& file, std::string bytes) {
        return [=](const std::string& root, const std::string&) { writeFile(root + file, bytes); };
    };
    const auto linked = [](const std::string& at, const std::string& to) {
        return [=](const std::string& root, const std::string& elsewhere) {
            writeFile(elsewhere + "/target", "precious\n");
            fs::create_directories(fs::path(root + at).parent_path());
            fs::create_symlink(elsewhere + to, root + at);
        };
    };
    const std::string dnsFile = chromium + "/" + dns,
                      firefox = "/etc/firefox/policies/policies.json";
    std::vector<Case> cases = {
        {dnsFile, linked(chromium, ""), link},
        {dnsFile, linked("/etc/chromium", ""), link},
        {dnsFile, linked(dnsFile, "/target"), notOurs},
        {dnsFile, text(dnsFile, "{\"DnsOverHttpsMode\": \"secure\"}\n"), notOurs},
        {firefox, linked(firefox, "/target"), link},
        {firefox, linked("/etc/firefox/policies", ""), link},
        {firefox, text(firefox, "{\"policies\": {,}"),
         "not a JSON object with a \"policies\" object"},
        {firefox, text(firefox, "{\"policies\": []}"),
         "not a JSON object with a \"policies\" object"},
        {firefox, text(firefox, "{\"policies\": {\"Preferences\": [1]}}"),
         "its \"Preferences\" is not an object"},
    };
    if (::geteuid() == 0)
        cases.push_back({dnsFile,
                         [&](const std::string& root, const std::string& e) {
                             text(dnsFile, "{\"DnsOverHttpsMode\": \"off\"}\n")(root, e);
                             ASSERT_EQ(::chown((root + dnsFile).c_str(), 65534, 65534), 0);
                         },
                         notOurs});
    for (const Case& c : cases) {
        Root r;
        TempFolder elsewhere;
        c.arrange(r.root.path, elsewhere.path);
        const std::string path = r.root.path + c.file;
        const bool regular = fs::is_regular_file(fs::symlink_status(path));
        const std::string before = regular ? read(path) : "";
        for (bool on : {true, false}) {
            const bool chromiums = c.file == dnsFile;
            const std::vector<PolicyChange> changes =
                chromiums ? keepDnsPolicies(on, folders, r.root.path)
                          : keepFirefoxPolicy(on, places, r.backup, r.root.path);
            ASSERT_EQ(changes.size(), on || chromiums ? 1u : 0u) << c.why;
            if (!changes.empty()) {
                EXPECT_EQ(changes[0].kind, Kind::leftAlone) << c.file;
                EXPECT_EQ(changes[0].why, c.why) << c.file;
            }
        }
        for (const auto& entry : fs::recursive_directory_iterator(elsewhere.path)) {
            EXPECT_EQ(entry.path().filename(), "target") << c.why;
            EXPECT_EQ(read(entry.path()), "precious\n") << c.why;
        }
        if (regular) {
            EXPECT_EQ(read(path), before) << c.why;
        }
        EXPECT_FALSE(fs::exists(r.backup));
    }
}

// A build folder's path may hold anything; the update manifest's attribute stays one.
TEST(BrowserPolicies, TheExtensionsUpdateManifestPathIsEscaped) {
    const ExtensionBuild build{"/home/a b/it's/tarrow.crx", std::string(32, 'c'), "1.0.0"};
    EXPECT_NE(updateManifest(build).find("codebase='file:///home/a%20b/it%27s/tarrow.crx'"),
              std::string::npos);
}

}  // namespace
