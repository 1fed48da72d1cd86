// Which programs are browsers, and which application a window belongs to, from the
// desktop entries: the [Desktop Entry] group only, a user's entry hiding the system's.

#include "platform/desktop/desktop_entries.h"

#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::platform {
namespace {

TEST(DesktopEntries, BrowsersAndWindowsAreFoundByTheirEntries) {
    const auto chromium = parseDesktopEntry(
        "chromium",
        "# c\n[Desktop Entry]\r\nType=Application\nName=Chromium\nName[de]=C\n"
        "Exec=\"/opt/My App/chromium\" %U\nMimeType=text/html;x-scheme-handler/https;\n"
        "StartupWMClass=chromium\n[Desktop Action new-window]\nName=New\nExec=/usr/bin/other\n");
    ASSERT_TRUE(chromium);
    EXPECT_EQ(std::make_tuple(chromium->name, chromium->program, chromium->wmClass),
              std::make_tuple("Chromium", "chromium", "chromium"));
    EXPECT_EQ(chromium->mimeTypes,
              (std::vector<std::string>{"text/html", "x-scheme-handler/https"}));
    EXPECT_FALSE(parseDesktopEntry("x", "[Desktop Entry]\nType=Link\nName=X\n"));
    EXPECT_FALSE(parseDesktopEntry("x", "[Other]\nType=Application\n"));

    test::TempFolder dir;
    const auto add = [&](const std::string& folder, const std::string& id,
                         const std::string& program, const std::string& mime,
                         const std::string& extra = "") {
        test::writeFile(dir / (folder + "/" + id + ".desktop"),
                        "[Desktop Entry]\nType=Application\nName=" + id + "\nExec=/usr/bin/" +
                            program + " %u\nMimeType=" + mime + "\n" + extra);
    };
    add("user", "firefox-esr", "firefox-esr", "text/html;x-scheme-handler/https;");
    add("user", "chromium", "", "", "Hidden=true\n");
    add("system", "chromium", "chromium", "x-scheme-handler/https;", "StartupWMClass=chromium\n");
    add("system", "org.gnome.TextEditor", "gnome-text-editor", "text/plain;");
    add("system/kde", "konqueror", "konqueror", "x-scheme-handler/https");
    add("system", "mailer", "mailer", "x-scheme-handler/mailto;");
    const auto entries = desktopEntries({dir / "user", dir / "system", dir / "missing"});
    EXPECT_EQ(webBrowsers(entries), (std::set<std::string>{"firefox-esr", "kde-konqueror"}));
    const std::tuple<std::string, std::string, std::string, std::optional<std::string>> cases[] = {
        {"Navigator", "firefox-esr", "firefox-esr", "firefox-esr"},
        {"gnome-text-editor", "TextEditor", "", "org.gnome.TextEditor"},
        {"x", "y", "gnome-text-editor", "org.gnome.TextEditor"},
        {"textEditor", "", "", "org.gnome.TextEditor"},
        {"chromium", "Chromium", "chromium", std::nullopt},
        {"", "", "", std::nullopt},
    };
    for (const auto& [instance, wmClass, program, id] : cases) {
        const auto entry = entryForWindow(entries, instance, wmClass, program);
        EXPECT_EQ(entry ? std::optional<std::string>(entry->id) : std::nullopt, id) << instance;
    }
}

}  // namespace
}  // namespace tarrow::platform
