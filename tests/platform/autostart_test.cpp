// Starting at login follows the XDG folders: switched on, the user's entry starts exactly
// the program (awkward paths quoted, impossible ones refused) and passes
// desktop-file-validate; switched off, it goes, or hides a system-wide entry.

#include "platform/autostart.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::platform {
namespace {

using namespace test;

// What desktop-file-validate says about a file: empty when it passes.
std::string validation(const std::string& path) {
    const int status =
        std::system(("desktop-file-validate '" + path + "' > '" + path + ".v' 2>&1").c_str());
    const std::string said = readFile(path + ".v").value_or("?");
    return WEXITSTATUS(status) != 0 && said.empty() ? "exit status not 0" : said;
}

TEST(Autostart, OnOffAndASystemWideEntry) {
    TempFolder home;
    ScopedEnvironment env;
    env.set("HOME", "/home/ann");
    env.set("XDG_CONFIG_HOME", "relative/c");  // relative entries do not count
    env.set("XDG_CONFIG_DIRS", "x::" + home / "xdg-b");
    const std::string id = "/autostart/de.brightloom.tarrow.desktop";
    EXPECT_EQ(autostartPlaces().user, "/home/ann/.config" + id);
    EXPECT_EQ(autostartPlaces().system, std::vector<std::string>{home / "xdg-b" + id});
    env.set("XDG_CONFIG_HOME", home / "config");
    const AutostartPlaces places = autostartPlaces();
    writeFile(home / "config/autostart", "a file where the folder should be\n");
    EXPECT_EQ(setAutostart(places, true, "/usr/bin/tarrow").text(),
              "cannot create " + home / "config/autostart" + ": Not a directory");
    ::unlink((home / "config/autostart").c_str());
    ASSERT_TRUE(setAutostart(places, true, "/usr/bin/tarrow").ok());
    EXPECT_TRUE(autostartEnabled(places));
    ASSERT_TRUE(setAutostart(places, false, "/usr/bin/tarrow").ok());
    EXPECT_FALSE(exists(places.user));
    writeFile(home / "xdg-b" + id, "[Desktop Entry]\nType=Application\nName=Tarrow\nExec=tarrow\n");
    EXPECT_TRUE(autostartEnabled(places));
    ASSERT_TRUE(setAutostart(places, false, "/usr/bin/tarrow").ok());
    EXPECT_FALSE(autostartEnabled(places));
    EXPECT_EQ(validation(places.user), "");  // the hiding entry
    const std::pair<const char*, bool> entries[] = {
        {"[Desktop Entry]\r\nHidden = true\r\n", false},
        {"[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n", false},
        {"# Hidden=true\n[Desktop Entry]\nExec=tarrow\n[Desktop Action x]\nHidden=true\n", true},
    };
    for (const auto& [text, runs] : entries) {
        writeFile(places.user, text);
        EXPECT_EQ(autostartEnabled(places), runs) << text;
    }
}

// Each entry that can be written passes desktop-file-validate.
TEST(Autostart, ExecQuotesAwkwardPaths) {
    TempFolder home;
    const std::pair<const char*, const char*> cases[] = {
        {"/home/o'neil/My Apps/tarrow", R"("/home/o'neil/My Apps/tarrow")"},
        {"/opt/100%/tarrow", "/opt/100%%/tarrow"},
        {"/opt/$HOME/a\"b`c/tarrow", R"("/opt/\\$HOME/a\\"b\\`c/tarrow")"},
        {"/opt/back\\slash/tarrow", R"("/opt/back\\\\slash/tarrow")"},
        {"/opt/line\nbreak/tarrow", nullptr},
        {"/opt/\xff/tarrow", nullptr},
        {"", nullptr},
    };
    for (const auto& [program, exec] : cases) {
        const std::optional<std::string> entry = autostartEntry(program);
        ASSERT_EQ(entry.has_value(), exec != nullptr) << program;
        if (!entry) continue;
        EXPECT_NE(entry->find(std::string("\nExec=") + exec + "\n"), std::string::npos) << *entry;
        writeFile(home / "de.brightloom.tarrow.desktop", *entry);
        EXPECT_EQ(validation(home / "de.brightloom.tarrow.desktop"), "") << program;
    }
}

}  // namespace
}  // namespace tarrow::platform
