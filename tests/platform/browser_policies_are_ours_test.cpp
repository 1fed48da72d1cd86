// Browser policies are ours to add and remove, never anyone else's: the administrator's
// Firefox file gets our entries beside theirs and comes back byte for byte; a link, a
// file of our name that is not ours, or a file we cannot read as policies is left exactly
// as it is. (Our own files written and removed, and the extension's policy beside an
// administrator's: the hold, Firefox and extension scripts.)

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
    {"Chromium", "/etc/chromium/policies/managed", "/usr/lib/chromium"}};
const std::string chromium = "/etc/chromium/policies/managed", dns(dnsPolicyName),
                  dnsFile = chromium + "/" + dns, ffFile = "/etc/firefox/policies/policies.json";
const FirefoxPlaces places{"/etc/firefox/policies", {}, {"/usr/lib/firefox-esr"}, "kept"};

std::string read(const std::string& path) {
    return tarrow::test::readFile(path).value_or("");
}

// The policies with Tarrow's entries merged in.
json withOurs(json policies) {
    policies["DNSOverHTTPS"] = {{"Enabled", false}, {"Locked", true}};
    auto& preferences = policies["Preferences"];
    preferences["network.dnsCacheExpiration"] = {{"Value", firefoxNameCacheSeconds},
                                                 {"Status", "locked"}};
    preferences["network.dnsCacheExpirationGracePeriod"] = {{"Value", 0}, {"Status", "locked"}};
    return policies;
}

// A root where Chromium and Firefox ESR are installed.
struct Root {
    TempFolder root, state;
    const std::string firefox = root.path + ffFile, backup = state / "kept";
    Root() {
        fs::create_directories(root.path + "/usr/lib/chromium");
        fs::create_directories(root.path + "/usr/lib/firefox-esr");
    }
    std::vector<PolicyChange> firefoxPolicy(bool on) {
        return keepFirefoxPolicy(on, places, backup, root.path);
    }
};

// The administrator's file, in any formatting and mode, holds our entries beside theirs
// meanwhile (their own value for one of our preferences stays), follows their rewrites
// and an upgrade's, and afterwards is what they last wrote, byte for byte.
TEST(BrowserPolicies, TheAdministratorsFirefoxFileComesBack) {
    const std::string texts[] = {
        "{ \"policies\" : {\"BlockAboutConfig\":true,\n\t\"DNSOverHTTPS\": {\"Enabled\": true}}}",
        "{\"policies\": {\"Preferences\": {\"network.dnsCacheExpiration\": 60}}}\n",
    };
    for (const std::string& text : texts) {
        Root r;
        writeFile(r.firefox, text, 0640);
        ASSERT_EQ(r.firefoxPolicy(true).at(0).kind, Kind::written);
        json expected = json::parse(text);
        expected["policies"] = withOurs(expected["policies"]);
        if (text.find("60") != std::string::npos)
            expected["policies"]["Preferences"]["network.dnsCacheExpiration"] = 60;
        EXPECT_EQ(json::parse(read(r.firefox)), expected);
        EXPECT_EQ(fs::status(r.backup).permissions(), fs::perms(0600));
        EXPECT_TRUE(r.firefoxPolicy(true).empty());
        r.firefoxPolicy(false);
        EXPECT_EQ(read(r.firefox), text);
        EXPECT_EQ(fs::status(r.firefox).permissions(), fs::perms(0640));
        EXPECT_FALSE(fs::exists(r.backup));
    }
    Root r;
    writeFile(r.firefox, "{\"policies\": {\"DNSOverHTTPS\": {\"Enabled\": true}}}");
    r.firefoxPolicy(true);
    writeFile(r.firefox, "{\"policies\": {\"DisableAppUpdate\": true}}\n");  // an upgrade's
    EXPECT_EQ(r.firefoxPolicy(true).size(), 1u);
    json now = json::parse(read(r.firefox));
    EXPECT_EQ(now["policies"], withOurs({{"DisableAppUpdate", true}}));
    now["policies"]["Bookmarks"] = json::array();
    writeFile(r.firefox, now.dump());  // rewritten by the administrator: only ours goes
    r.firefoxPolicy(false);
    EXPECT_EQ(json::parse(read(r.firefox))["policies"],
              (json{{"Bookmarks", json::array()}, {"DisableAppUpdate", true}}));
}

// A link (at the file or a folder above it), a file of our name that is not ours, or a
// file that is not policies: left alone on both switches, said why, nothing changed.
TEST(BrowserPolicies, NothingFollowedOrReplaced) {
    const std::string link = "a symbolic link, not followed",
                      notOurs = "a file of that name that is not ours",
                      notPolicies = "not a JSON object with a \"policies\" object";
    // {file, a link at (or none), bytes of the file (without a link), the reason}
    std::vector<std::tuple<std::string, std::string, std::string, std::string>> cases = {
        {dnsFile, chromium, "", link},
        {dnsFile, "/etc/chromium", "", link},
        {dnsFile, dnsFile, "", notOurs},
        {dnsFile, "", "{\"DnsOverHttpsMode\": \"secure\"}\n", notOurs},
        {ffFile, ffFile, "", link},
        {ffFile, "/etc/firefox/policies", "", link},
        {ffFile, "", "{\"policies\": {,}", notPolicies},
        {ffFile, "", "{\"policies\": []}", notPolicies},
        {ffFile, "", "{\"policies\": {\"Preferences\": [1]}}",
         "its \"Preferences\" is not an object"},
    };
    if (::geteuid() == 0) cases.push_back({dnsFile, "", std::string(dnsPolicyText), notOurs});
    for (const auto& [file, linkAt, bytes, why] : cases) {
        Root r;
        TempFolder elsewhere;
        const std::string path = r.root.path + file;
        writeFile(elsewhere / "target", "precious\n");
        if (!linkAt.empty()) {
            fs::create_directories(fs::path(r.root.path + linkAt).parent_path());
            fs::create_symlink(linkAt == file ? elsewhere / "target" : elsewhere.path,
                               r.root.path + linkAt);
        } else {
            writeFile(path, bytes);
            ASSERT_TRUE(bytes != dnsPolicyText || ::chown(path.c_str(), 65534, 65534) == 0);
        }
        for (bool on : {true, false}) {
            const bool chromiums = file == dnsFile;
            const std::vector<PolicyChange> changes =
                chromiums ? keepDnsPolicies(on, folders, r.root.path) : r.firefoxPolicy(on);
            ASSERT_EQ(changes.size(), on || chromiums ? 1u : 0u) << why;
            if (!changes.empty()) {
                EXPECT_EQ(std::make_pair(changes[0].kind, changes[0].why),
                          std::make_pair(Kind::leftAlone, why))
                    << file;
            }
        }
        for (const auto& entry : fs::recursive_directory_iterator(elsewhere.path))
            EXPECT_EQ(entry.path().filename().string() + read(entry.path()), "targetprecious\n");
        EXPECT_EQ(linkAt.empty() ? read(path) : bytes, bytes) << why;
        EXPECT_FALSE(fs::exists(r.backup));
    }
}

// Only one file's list of forced extensions takes effect: ours carries the administrator's.
TEST(BrowserPolicies, TheAdministratorsForcedExtensionsStay) {
    Root r;
    const std::string folder = r.root.path + chromium + "/";
    fs::create_directories(folder);
    writeFile(folder + "admin.json", R"({"ExtensionInstallForcelist": ["x;u", "ours;f", 7]})");
    ASSERT_EQ(keepExtensionPolicies("ours;f", folders, r.root.path).at(0).kind, Kind::written);
    EXPECT_EQ(json::parse(read(folder + std::string(extensionPolicyName)))
                  .at("ExtensionInstallForcelist"),
              json::array({"ours;f", "x;u"}));
}

// A build folder's path may hold anything; the update manifest's attribute stays one.
TEST(BrowserPolicies, TheExtensionsUpdateManifestPathIsEscaped) {
    const ExtensionBuild build{"/home/a b/it's/tarrow.crx", std::string(32, 'c'), "1.0.0"};
    EXPECT_NE(updateManifest(build).find("codebase='file:///home/a%20b/it%27s/tarrow.crx'"),
              std::string::npos);
}

}  // namespace
