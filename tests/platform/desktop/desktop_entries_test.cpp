#include "platform/desktop/desktop_entries.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::platform {
namespace {

TEST(DesktopEntry, ReadsTheApplicationGroupOnly) {
    const auto chromium = parseDesktopEntry(
        "chromium",
        "# comment\n[Desktop Entry]\r\nType=Application\nName=Chromium Web Browser\n"
        "Name[de]=Chromium-Webbrowser\nExec=/usr/bin/chromium %U\n"
        "MimeType=text/html;x-scheme-handler/http;x-scheme-handler/https;\n"
        "StartupWMClass=chromium\n[Desktop Action new-window]\nName=New Window\n"
        "Exec=/usr/bin/other\n");
    ASSERT_TRUE(chromium);
    EXPECT_EQ(chromium->name, "Chromium Web Browser");
    EXPECT_EQ(chromium->program, "chromium");
    EXPECT_EQ(chromium->wmClass, "chromium");
    EXPECT_EQ(chromium->mimeTypes, (std::vector<std::string>{"text/html", "x-scheme-handler/http",
                                                             "x-scheme-handler/https"}));
    EXPECT_FALSE(parseDesktopEntry("x", "[Desktop Entry]\nType=Link\nName=X\n"));
    EXPECT_FALSE(parseDesktopEntry("x", "[Other]\nType=Application\n"));
    EXPECT_EQ(parseDesktopEntry("x",
                                "[Desktop Entry]\nType=Application\nExec=\"/opt/My App/run\" "
                                "--x\n")
                  ->program,
              "run");
}

class Entries : public ::testing::Test {
  protected:
    void SetUp() override {
        add("user/applications", "firefox-esr", "Firefox ESR", "firefox-esr",
            "text/html;x-scheme-handler/https;", "");
        add("user/applications", "chromium", "", "", "", "Hidden=true\n");  // removed by the user
        add("system/applications", "chromium", "Chromium", "chromium", "x-scheme-handler/https;",
            "StartupWMClass=chromium\n");
        add("system/applications", "org.gnome.TextEditor", "Text Editor", "gnome-text-editor",
            "text/plain;", "");
        add("system/applications/kde", "konqueror", "Konqueror", "konqueror",
            "x-scheme-handler/https", "");
        add("system/applications", "mailer", "Mail", "mailer", "x-scheme-handler/mailto;", "");
        folders = {dir / "user/applications", dir / "system/applications", dir / "missing"};
    }

    void add(const std::string& folder, const std::string& id, const std::string& name,
             const std::string& program, const std::string& mime, const std::string& extra) {
        tarrow::test::writeFile(dir / (folder + "/" + id + ".desktop"),
                                "[Desktop Entry]\nType=Application\nName=" + name +
                                    "\nExec=/usr/bin/" + program + " %u\nMimeType=" + mime + "\n" +
                                    extra);
    }

    tarrow::test::TempFolder dir;
    std::vector<std::string> folders;
};

TEST_F(Entries, BrowsersAndWindowsAreFoundByTheirEntries) {
    EXPECT_EQ(webBrowsers(desktopEntries(folders)),
              (std::set<std::string>{"firefox-esr", "kde-konqueror"}));  // chromium: hidden
    add("user/applications", "vivaldi-stable", "Vivaldi", "vivaldi-bin", "x-scheme-handler/https",
        "StartupWMClass=Vivaldi-stable\n");
    const auto entries = desktopEntries(folders);
    struct Case {
        std::string instance, wmClass, program;
        std::optional<std::string> id;
    };
    const Case cases[] = {
        {"vivaldi-stable", "Vivaldi-stable", "vivaldi-bin", "vivaldi-stable"},
        {"Navigator", "firefox-esr", "firefox-esr", "firefox-esr"},
        {"gnome-text-editor", "TextEditor", "", "org.gnome.TextEditor"},
        {"x", "y", "gnome-text-editor", "org.gnome.TextEditor"},
        {"textEditor", "", "", "org.gnome.TextEditor"},      // id ends with ".texteditor"
        {"chromium", "Chromium", "chromium", std::nullopt},  // hidden entry
        {"", "", "", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto entry = entryForWindow(entries, c.instance, c.wmClass, c.program);
        EXPECT_EQ(entry ? std::optional<std::string>(entry->id) : std::nullopt, c.id)
            << c.instance << "/" << c.wmClass;
    }
}

}  // namespace
}  // namespace tarrow::platform
