#include "platform/browser_policies.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/browser_extension.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using namespace tarrow::platform;
using tarrow::test::readFile;
using tarrow::test::TempFolder;
using tarrow::test::writeFile;
using Kind = PolicyChange::Kind;
namespace fs = std::filesystem;

namespace {

const std::vector<PolicyFolder> folders{
    {"Chromium", "/etc/chromium/policies/managed", "/usr/lib/chromium"},
    {"Google Chrome", "/etc/opt/chrome/policies/managed", "/opt/google/chrome"},
};
const std::string chromium = "/etc/chromium/policies/managed";
const std::string chrome = "/etc/opt/chrome/policies/managed";
const std::string name(dnsPolicyName);

std::string kinds(const std::vector<PolicyChange>& changes) {
    std::string out;
    for (const auto& c : changes)
        out += std::string(c.kind == Kind::written   ? "written "
                           : c.kind == Kind::removed ? "removed "
                                                     : "left ") +
               c.path + (c.why.empty() ? "" : " (" + c.why + ")") + "\n";
    return out;
}

TEST(BrowserPolicies, WrittenWhereTheFolderOrTheBrowserIsAndRemovedAgain) {
    TempFolder root;
    fs::create_directories(root.path + chromium);              // folder there, browser not
    fs::create_directories(root.path + "/opt/google/chrome");  // browser there, folder not
    ::umask(077);

    auto changes = keepDnsPolicies(true, folders, root.path);
    ::umask(022);
    EXPECT_EQ(kinds(changes), "written " + root.path + chromium + "/" + name + "\nwritten " +
                                  root.path + chrome + "/" + name + "\n");
    for (const std::string& folder : {chromium, chrome}) {
        EXPECT_EQ(readFile(root.path + folder + "/" + name), "{\"DnsOverHttpsMode\": \"off\"}\n");
        // Browsers read it as their users, whatever the umask was.
        EXPECT_EQ(fs::status(root.path + folder + "/" + name).permissions(), fs::perms(0644));
        EXPECT_EQ(fs::directory_iterator(root.path + folder)->path().filename(), name)
            << "only the policy, no temporary file";
    }
    EXPECT_EQ(fs::status(root.path + chrome).permissions(), fs::perms(0755));

    EXPECT_TRUE(keepDnsPolicies(true, folders, root.path).empty()) << "nothing to do twice";
    changes = keepDnsPolicies(false, folders, root.path);
    EXPECT_EQ(changes.size(), 2u);
    for (const auto& c : changes) EXPECT_EQ(c.kind, Kind::removed);
    EXPECT_FALSE(fs::exists(root.path + chromium + "/" + name));
    EXPECT_FALSE(fs::exists(root.path + chrome + "/" + name));
    EXPECT_TRUE(keepDnsPolicies(false, folders, root.path).empty());
}

// An installed browser's folder is there before anything is blocked, empty; where there
// is neither browser nor folder nothing is made.
TEST(BrowserPolicies, FolderOfAnInstalledBrowserIsMadeWhileIdle) {
    TempFolder root, bare;
    EXPECT_TRUE(keepDnsPolicies(true, folders, bare.path).empty());
    EXPECT_FALSE(fs::exists(bare.path + "/etc"));
    fs::create_directories(root.path + "/opt/google/chrome");
    EXPECT_TRUE(keepDnsPolicies(false, folders, root.path).empty());
    EXPECT_TRUE(fs::is_directory(root.path + chrome));
    EXPECT_TRUE(fs::is_empty(root.path + chrome));
    EXPECT_FALSE(fs::exists(root.path + chromium));
}

// Whatever stands in the way is left exactly as it is, and said once per folder.
TEST(BrowserPolicies, NothingFollowedOrReplaced) {
    struct Case {
        const char* what;
        std::function<void(const std::string& root, const std::string& elsewhere)> arrange;
        const char* why;
    };
    std::vector<Case> cases = {
        {"folder is a link elsewhere",
         [](const std::string& root, const std::string& elsewhere) {
             fs::create_directories(root + "/etc/chromium/policies");
             fs::create_directory_symlink(elsewhere, root + chromium);
         },
         "a symbolic link, not followed"},
        {"a folder above is a link",
         [](const std::string& root, const std::string& elsewhere) {
             fs::create_directories(elsewhere + "/policies/managed");
             fs::create_directories(root + "/etc");
             fs::create_directory_symlink(elsewhere, root + "/etc/chromium");
         },
         "a symbolic link, not followed"},
        {"the policy is a link",
         [](const std::string& root, const std::string& elsewhere) {
             fs::create_directories(root + chromium);
             writeFile(elsewhere + "/target", "precious\n");
             fs::create_symlink(elsewhere + "/target", root + chromium + "/" + name);
         },
         "a file of that name that is not ours"},
        {"a foreign file of that name",
         [](const std::string& root, const std::string&) {
             writeFile(root + chromium + "/" + name, "{\"DnsOverHttpsMode\": \"secure\"}\n");
         },
         "a file of that name that is not ours"},
    };
    if (::geteuid() == 0)
        cases.push_back({"our text in another user's file",
                         [](const std::string& root, const std::string&) {
                             writeFile(root + chromium + "/" + name,
                                       "{\"DnsOverHttpsMode\": \"off\"}\n");
                             fs::path file(root + chromium + "/" + name);
                             ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
                         },
                         "a file of that name that is not ours"});
    for (const Case& c : cases) {
        TempFolder root, elsewhere;
        fs::create_directories(root.path + "/usr/lib/chromium");
        c.arrange(root.path, elsewhere.path);
        const std::string policy = root.path + chromium + "/" + name;
        const bool regular = fs::is_regular_file(fs::symlink_status(policy));
        const std::string before = regular ? readFile(policy).value_or("") : "";
        for (bool on : {true, false}) {
            auto changes = keepDnsPolicies(on, folders, root.path);
            ASSERT_EQ(changes.size(), 1u) << c.what << kinds(changes);
            EXPECT_EQ(changes[0].kind, Kind::leftAlone) << c.what;
            EXPECT_EQ(changes[0].why, c.why) << c.what;
        }
        EXPECT_FALSE(fs::exists(elsewhere.path + "/" + name)) << c.what;
        EXPECT_FALSE(fs::exists(elsewhere.path + "/policies/managed/" + name)) << c.what;
        if (fs::exists(elsewhere.path + "/target")) {
            EXPECT_EQ(readFile(elsewhere.path + "/target"), "precious\n");
        }
        if (regular) {
            EXPECT_EQ(readFile(policy), before) << c.what;
        }
    }
}

// Chromium takes a list policy from one file of a folder only, so Tarrow's file carries
// the forced extensions of the others too; it follows the extension, and a foreign file
// of its name is never touched.
TEST(ExtensionPolicies, CarryOtherFilesEntriesAndReplaceOnlyOurs) {
    TempFolder root;
    fs::create_directories(root.path + "/usr/lib/chromium");
    fs::create_directories(root.path + "/opt/google/chrome");
    const std::string file(extensionPolicyName);
    const std::string admin = R"({"ExtensionInstallForcelist": ["x;https://a.test/u.xml"]})";
    writeFile(root.path + chromium + "/site.json", admin);
    writeFile(root.path + chrome + "/" + file, admin);  // foreign, of our name
    const std::string first = forcedEntry(std::string(32, 'a'), "/var/lib/T/u.xml");
    const std::string second = forcedEntry(std::string(32, 'b'), "/var/lib/T/u.xml");
    const std::string expected = "written " + root.path + chromium + "/" + file + "\nleft " +
                                 root.path + chrome + "/" + file +
                                 " (a file of that name that is not ours)\n";

    EXPECT_EQ(kinds(keepExtensionPolicies(first, folders, root.path)), expected);
    EXPECT_EQ(readFile(root.path + chromium + "/" + file),
              extensionPolicyText({first, "x;https://a.test/u.xml"}));
    EXPECT_EQ(kinds(keepExtensionPolicies(second, folders, root.path)), expected);
    EXPECT_EQ(readFile(root.path + chromium + "/" + file),
              extensionPolicyText({second, "x;https://a.test/u.xml"}));
    keepExtensionPolicies(std::nullopt, folders, root.path);
    EXPECT_FALSE(fs::exists(root.path + chromium + "/" + file));
    EXPECT_EQ(readFile(root.path + chromium + "/site.json"), admin);
    EXPECT_EQ(readFile(root.path + chrome + "/" + file), admin);
}

// A build folder's path may hold anything; the manifest's attribute must stay one.
TEST(ExtensionPolicies, UpdateManifestPathIsEscaped) {
    const ExtensionBuild build{"/home/a b/it's/tarrow.crx", std::string(32, 'c'), "1.0.0"};
    EXPECT_NE(updateManifest(build).find("codebase='file:///home/a%20b/it%27s/tarrow.crx'"),
              std::string::npos);
}

}  // namespace
