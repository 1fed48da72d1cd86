#include "platform/autostart.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::platform {
namespace {

using namespace test;

// What desktop-file-validate says about a file: empty when it passes.
std::string validation(const std::string& path) {
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0)
        return "desktop-file-validate is missing (scripts/deps.sh installs it)";
    const std::string out = path + ".validate";
    const int status =
        std::system(("desktop-file-validate '" + path + "' > '" + out + "' 2>&1").c_str());
    std::string said = readFile(out).value_or("?");
    ::unlink(out.c_str());
    if (WEXITSTATUS(status) != 0 && said.empty()) said = "exit status not 0";
    return said;
}

// A temporary XDG_CONFIG_HOME and two system folders of its own, empty at first.
class Autostart : public ::testing::Test {
  protected:
    void SetUp() override {
        env.set("XDG_CONFIG_HOME", home / "config");
        env.set("XDG_CONFIG_DIRS", home / "xdg-a" + ":" + home / "xdg-b");
        places = autostartPlaces();
    }
    TempFolder home;
    ScopedEnvironment env;
    AutostartPlaces places;
};

TEST_F(Autostart, PlacesFollowTheXdgVariables) {
    env.set("HOME", "/home/ann");
    struct Case {
        const char* configHome;  // null: unset
        const char* configDirs;
        AutostartPlaces places;
    };
    const std::string id = "/autostart/de.brightloom.tarrow.desktop";
    const Case cases[] = {
        {nullptr, nullptr, {"/home/ann/.config" + id, {"/etc/xdg" + id}}},
        {"", "", {"/home/ann/.config" + id, {"/etc/xdg" + id}}},
        {"/tmp/c", "/a:/b", {"/tmp/c" + id, {"/a" + id, "/b" + id}}},
        // Relative entries do not count.
        {"relative/c", "x::/b", {"/home/ann/.config" + id, {"/b" + id}}},
    };
    for (const Case& c : cases) {
        env.set("XDG_CONFIG_HOME", c.configHome);
        env.set("XDG_CONFIG_DIRS", c.configDirs);
        const AutostartPlaces got = autostartPlaces();
        EXPECT_EQ(got.user, c.places.user);
        EXPECT_EQ(got.system, c.places.system);
    }
}

// Switching on and off in a temporary XDG_CONFIG_HOME, first without and then with a
// system-wide entry; the state is read back from the files each time.
TEST_F(Autostart, OnWritesOffRemovesOrHidesTheSystemEntry) {
    const std::string program = "/usr/bin/tarrow";
    EXPECT_FALSE(autostartEnabled(places));

    ASSERT_TRUE(setAutostart(places, true, program).ok());
    EXPECT_TRUE(autostartEnabled(places));
    EXPECT_NE(readFile(places.user).value_or("").find("\nExec=/usr/bin/tarrow\n"),
              std::string::npos);
    EXPECT_EQ(validation(places.user), "");

    ASSERT_TRUE(setAutostart(places, false, program).ok());
    EXPECT_FALSE(exists(places.user));
    EXPECT_FALSE(autostartEnabled(places));
    EXPECT_TRUE(setAutostart(places, false, program).ok());  // already off

    // A system-wide entry in the second folder starts the app for everyone.
    writeFile(home / "xdg-b/autostart/de.brightloom.tarrow.desktop",
              "[Desktop Entry]\nType=Application\nName=Tarrow\nExec=tarrow\n");
    EXPECT_TRUE(autostartEnabled(places));
    ASSERT_TRUE(setAutostart(places, false, program).ok());
    EXPECT_FALSE(autostartEnabled(places));
    const std::string hidden = readFile(places.user).value_or("");
    EXPECT_NE(hidden.find("\nHidden=true\n"), std::string::npos) << hidden;
    EXPECT_EQ(validation(places.user), "");
    // On again: the user's entry wins over the system's.
    ASSERT_TRUE(setAutostart(places, true, program).ok());
    EXPECT_TRUE(autostartEnabled(places));

    // A system entry that is switched off itself needs no hidden entry.
    writeFile(home / "xdg-a/autostart/de.brightloom.tarrow.desktop",
              "[Desktop Entry]\nType=Application\nName=Tarrow\nExec=tarrow\nX-GNOME-Autostart-"
              "enabled=false\n");
    ASSERT_TRUE(setAutostart(places, false, program).ok());
    EXPECT_FALSE(exists(places.user));
    EXPECT_FALSE(autostartEnabled(places));
}

// What decides whether an entry runs: the [Desktop Entry] group's Hidden and GNOME's key.
TEST_F(Autostart, EntriesThatDoNotRun) {
    const struct {
        const char* text;
        bool runs;
    } cases[] = {
        {"[Desktop Entry]\nExec=tarrow\n", true},
        {"[Desktop Entry]\r\nHidden = true\r\n", false},
        {"[Desktop Entry]\nHidden=false\n", true},
        {"[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n", false},
        {"# Hidden=true\n[Desktop Entry]\nExec=tarrow\n[Desktop Action x]\nHidden=true\n", true},
    };
    for (const auto& c : cases) {
        writeFile(places.user, c.text);
        EXPECT_EQ(autostartEnabled(places), c.runs) << c.text;
    }
}

// A folder that cannot be written: the failure says where and why, and the state stays
// what the files say.
TEST_F(Autostart, UnwritableFolderGivesTheReason) {
    writeFile(home / "config/autostart", "a file where the folder should be\n");
    const Status on = setAutostart(places, true, "/usr/bin/tarrow");
    EXPECT_EQ(on.text(), "cannot create " + home / "config/autostart" + ": Not a directory");
    EXPECT_FALSE(autostartEnabled(places));

    // A folder without write permission (root writes anyway, so only for other users).
    if (::geteuid() == 0) return;
    ::unlink((home / "config/autostart").c_str());
    ASSERT_TRUE(setAutostart(places, true, "/usr/bin/tarrow").ok());
    ::chmod((home / "config/autostart").c_str(), 0555);
    const Status off = setAutostart(places, false, "/usr/bin/tarrow");
    EXPECT_EQ(off.text(), "cannot remove " + places.user + ": Permission denied");
    EXPECT_TRUE(autostartEnabled(places));
}

// Program paths with characters the Exec key reserves are quoted so that the entry still
// starts exactly that file; paths no entry can hold are refused.
TEST_F(Autostart, ExecQuotesAwkwardPaths) {
    const struct {
        const char* program;
        const char* exec;  // null: refused
    } cases[] = {
        {"/usr/bin/tarrow", "/usr/bin/tarrow"},
        {"/home/o'neil/My Apps/tarrow", R"("/home/o'neil/My Apps/tarrow")"},
        {"/opt/100%/tarrow", "/opt/100%%/tarrow"},
        {"/opt/$HOME/a\"b`c/tarrow", R"("/opt/\\$HOME/a\\"b\\`c/tarrow")"},
        {"/opt/back\\slash/tarrow", R"("/opt/back\\\\slash/tarrow")"},
        {"/opt/Grün/tarrow", "/opt/Grün/tarrow"},
        {"/opt/line\nbreak/tarrow", nullptr},
        {"/opt/\xff/tarrow", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> entry = autostartEntry(c.program);
        if (!c.exec) {
            EXPECT_FALSE(entry) << c.program;
            continue;
        }
        ASSERT_TRUE(entry) << c.program;
        EXPECT_NE(entry->find(std::string("\nExec=") + c.exec + "\n"), std::string::npos) << *entry;
        const std::string path = home / "de.brightloom.tarrow.desktop";
        writeFile(path, *entry);
        EXPECT_EQ(validation(path), "") << c.program;
    }
}

}  // namespace
}  // namespace tarrow::platform
