#pragma once
// The desktop's application entries (*.desktop files in the XDG data folders): what
// stands in for bundle identifiers and for "applications that open web addresses".

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tarrow::platform {

struct DesktopEntry {
    std::string id;  // desktop file id without ".desktop", e.g. "org.gnome.TextEditor"
    std::string name;
    std::string wmClass;  // StartupWMClass
    std::string program;  // the file name of Exec's program, e.g. "chromium"
    std::vector<std::string> mimeTypes;
    bool hidden = false;
};

// The [Desktop Entry] group of one file; none when it is no application entry.
std::optional<DesktopEntry> parseDesktopEntry(std::string_view id, std::string_view text);

// The application folders in order of precedence: $XDG_DATA_HOME (or ~/.local/share),
// then $XDG_DATA_DIRS (or /usr/local/share:/usr/share), each + "/applications".
std::vector<std::string> applicationFolders();

// Every entry of those folders; an id found twice is taken from the first folder.
std::vector<DesktopEntry> desktopEntries(const std::vector<std::string>& folders);

// The ids of the applications that open https addresses.
std::set<std::string> webBrowsers(const std::vector<DesktopEntry>& entries);

// The entry of a window by its class names and its process's program file name:
// StartupWMClass first, then the id, then the program.
std::optional<DesktopEntry> entryForWindow(const std::vector<DesktopEntry>& entries,
                                           std::string_view instance, std::string_view wmClass,
                                           std::string_view program);

}  // namespace tarrow::platform
