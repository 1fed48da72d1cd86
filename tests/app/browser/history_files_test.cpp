#include "app/browser/history_files.h"

#include <gtest/gtest.h>

#include "tests/app/browser/history_fixture.h"
#include "tests/support/environment.h"

namespace tarrow {
namespace {

using test::TempHome;

// Which history files are found, for layouts made under a temporary home.
struct FilesCase {
    const char* name;
    std::vector<std::string> present;  // files created, relative to home
    std::vector<std::string> found;    // expected, relative to home, in order
    std::vector<std::string> browsers;
};

std::vector<FilesCase> linuxCases() {
    return {
        {"nothing installed", {}, {}, {}},
        {"chromium profiles: Default and Profile N only",
         {".config/google-chrome/Default/History", ".config/google-chrome/Profile 3/History",
          ".config/google-chrome/System Profile/History",
          ".config/google-chrome/Guest Profile/History", ".config/google-chrome/Profile 1/Cookies",
          ".config/google-chrome/Local State"},
         {".config/google-chrome/Default/History", ".config/google-chrome/Profile 3/History"},
         {"Chrome", "Chrome"}},
        {"chromium-family folders in table order: a home, a snap, a flatpak",
         {".config/chromium/Default/History", ".config/vivaldi/Default/History",
          "snap/chromium/common/chromium/Default/History",
          ".var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser/Profile 1/History"},
         {".config/vivaldi/Default/History", ".config/chromium/Default/History",
          "snap/chromium/common/chromium/Default/History",
          ".var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser/Profile 1/History"},
         {"Vivaldi", "Chromium", "Chromium", "Brave"}},
        {"firefox profiles in the three homes, files beside them ignored",
         {".mozilla/firefox/abc.default-release/places.sqlite", ".mozilla/firefox/profiles.ini",
          ".mozilla/firefox/empty.profile/prefs.js",
          "snap/firefox/common/.mozilla/firefox/x1.default/places.sqlite",
          ".var/app/org.mozilla.firefox/.mozilla/firefox/y2.default/places.sqlite"},
         {".mozilla/firefox/abc.default-release/places.sqlite",
          "snap/firefox/common/.mozilla/firefox/x1.default/places.sqlite",
          ".var/app/org.mozilla.firefox/.mozilla/firefox/y2.default/places.sqlite"},
         {"Firefox", "Firefox", "Firefox"}},
        {"a file where the browser folder would be is a missing browser",
         {".config/google-chrome", ".mozilla/firefox"},
         {},
         {}},
    };
}

TEST(HistoryFiles, FindsTheHistoriesOfEachLayout) {
    for (const FilesCase& c : linuxCases()) {
        SCOPED_TRACE(c.name);
        TempHome home;
        for (const std::string& file : c.present) test::writeFile(home / file, "x");
        FoundHistories found = historyFiles(home.path, linuxHistoryPlaces);
        std::vector<std::string> paths, browsers;
        for (const HistoryFile& file : found.files) {
            paths.push_back(file.path);
            browsers.push_back(file.browser);
        }
        std::vector<std::string> expected;
        for (const std::string& file : c.found) expected.push_back(home / file);
        EXPECT_EQ(paths, expected);
        EXPECT_EQ(browsers, c.browsers);
        EXPECT_TRUE(found.locked.empty());
    }
}

std::string described(const FoundHistories& found) {
    std::string text;
    for (const HistoryFile& file : found.files) text += "file " + file.path + "\n";
    for (const std::string& name : found.locked) text += "locked " + name + "\n";
    return text;
}

// Permissions stop only an unprivileged user, so these run as one.
TEST(HistoryFiles, FoldersThatCannotBeListedAreLocked) {
    struct Case {
        const char* name;
        std::vector<std::string> closed;  // folders made mode 000
        std::string expected;             // with HOME for the home folder
    };
    const std::string chrome = "file HOME/.config/google-chrome/Default/History\n";
    const std::string chromium = "file HOME/.config/chromium/Default/History\n";
    const std::string firefox =
        "file HOME/.mozilla/firefox/a.default/places.sqlite\n"
        "file HOME/snap/firefox/common/.mozilla/firefox/b.default/"
        "places.sqlite\n";
    std::vector<Case> cases = {
        {"chrome folder", {".config/google-chrome"}, chromium + firefox + "locked Chrome\n"},
        {"two firefox homes give one name",
         {".mozilla/firefox", "snap/firefox/common/.mozilla/firefox"},
         chrome + chromium + "locked Firefox\n"},
        {"a closed profile folder keeps its file, so reading it reports the browser",
         {".config/chromium/Default"},
         chrome + chromium + firefox},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempHome home;
        test::writeFile(home / ".config/chromium/Default/History", "x");
        test::writeFile(home / ".config/google-chrome/Default/History", "x");
        test::writeFile(home / ".mozilla/firefox/a.default/places.sqlite", "x");
        test::writeFile(home / "snap/firefox/common/.mozilla/firefox/b.default/places.sqlite", "x");
        for (const std::string& folder : c.closed) test::makeFolder(home / folder, 0);
        auto out = test::asUnprivileged(
            [&] { return described(historyFiles(home.path, linuxHistoryPlaces)); });
        if (!out) GTEST_SKIP() << "cannot switch to an unprivileged user";
        std::string expected = c.expected;
        for (size_t at; (at = expected.find("HOME")) != std::string::npos;)
            expected.replace(at, 4, home.path);
        EXPECT_EQ(*out, expected);
    }
}

TEST(HistoryFiles, UserHomeFollowsTheEnvironment) {
    test::ScopedEnvironment env;
    env.set("HOME", "/tmp/some-home");
    EXPECT_EQ(userHome(), "/tmp/some-home");
    env.set("HOME", "");
    EXPECT_FALSE(userHome().empty());  // from the password database
}

}  // namespace
}  // namespace tarrow
