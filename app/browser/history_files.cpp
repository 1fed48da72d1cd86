#include "app/browser/history_files.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <optional>

namespace tarrow {

namespace {

constexpr std::array<ChromiumFolder, 13> linuxChromium = {{
    {".config/google-chrome", "Chrome"},
    {".config/google-chrome-beta", "Chrome Beta"},
    {".config/google-chrome-unstable", "Chrome Dev"},
    {".config/BraveSoftware/Brave-Browser", "Brave"},
    {".config/microsoft-edge", "Edge"},
    {".config/vivaldi", "Vivaldi"},
    {".config/chromium", "Chromium"},
    // Ubuntu ships Chromium only as a snap; Flatpak gives each browser its own home.
    {"snap/chromium/common/chromium", "Chromium"},
    {".var/app/com.google.Chrome/config/google-chrome", "Chrome"},
    {".var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser", "Brave"},
    {".var/app/com.microsoft.Edge/config/microsoft-edge", "Edge"},
    {".var/app/com.vivaldi.Vivaldi/config/vivaldi", "Vivaldi"},
    {".var/app/org.chromium.Chromium/config/chromium", "Chromium"},
}};

constexpr std::array<std::string_view, 3> linuxFirefox = {
    ".mozilla/firefox",
    "snap/firefox/common/.mozilla/firefox",
    ".var/app/org.mozilla.firefox/.mozilla/firefox",
};

constexpr std::array<ChromiumFolder, 9> macChromium = {{
    {"Library/Application Support/Google/Chrome", "Chrome"},
    {"Library/Application Support/Google/Chrome Beta", "Chrome Beta"},
    {"Library/Application Support/Google/Chrome Dev", "Chrome Dev"},
    {"Library/Application Support/Google/Chrome Canary", "Chrome Canary"},
    {"Library/Application Support/BraveSoftware/Brave-Browser", "Brave"},
    {"Library/Application Support/Microsoft Edge", "Edge"},
    {"Library/Application Support/Arc/User Data", "Arc"},
    {"Library/Application Support/Vivaldi", "Vivaldi"},
    {"Library/Application Support/Chromium", "Chromium"},
}};

constexpr std::array<std::string_view, 1> macFirefox = {
    "Library/Application Support/Firefox/Profiles",
};

// A folder's entry names, sorted so that the result does not depend on the file system's
// order; none when the folder cannot be listed (errno tells why).
std::optional<std::vector<std::string>> listFolder(const std::string& path) {
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr) return std::nullopt;
    std::vector<std::string> names;
    while (true) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) break;
        std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    int error = errno;
    ::closedir(dir);
    if (error != 0) {
        errno = error;
        return std::nullopt;
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool missing(int error) {
    return error == ENOENT || error == ENOTDIR;
}

// Whether a candidate file is worth reading: it exists, or it cannot be told because a
// folder on the way refuses (the read then fails and reports the browser as locked).
bool worthReading(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return true;
    return !missing(errno);
}

std::string joined(const std::string& home, std::string_view relative) {
    std::string path = home;
    if (path.empty() || path.back() != '/') path += '/';
    path += relative;
    return path;
}

void addLocked(std::vector<std::string>& locked, std::string_view browser) {
    if (std::find(locked.begin(), locked.end(), browser) == locked.end())
        locked.emplace_back(browser);
}

bool isChromiumProfile(std::string_view name) {
    return name == "Default" || name.starts_with("Profile ");
}

}  // namespace

const HistoryPlaces linuxHistoryPlaces = {linuxChromium, linuxFirefox, ""};
const HistoryPlaces macHistoryPlaces = {macChromium, macFirefox, "Library/Safari/History.db"};

const HistoryPlaces& historyPlaces() {
#ifdef __APPLE__
    return macHistoryPlaces;
#else
    return linuxHistoryPlaces;
#endif
}

FoundHistories historyFiles(const std::string& home, const HistoryPlaces& places) {
    FoundHistories found;
    for (const ChromiumFolder& browser : places.chromium) {
        std::string folder = joined(home, browser.folder);
        auto names = listFolder(folder);
        if (!names) {
            if (!missing(errno)) addLocked(found.locked, browser.browser);
            continue;
        }
        for (const std::string& name : *names) {
            if (!isChromiumProfile(name)) continue;
            std::string path = folder + "/" + name + "/History";
            if (worthReading(path))
                found.files.push_back(
                    {path, HistoryFormat::chromium, std::string(browser.browser)});
        }
    }
    for (std::string_view root : places.firefox) {
        std::string folder = joined(home, root);
        auto names = listFolder(folder);
        if (!names) {
            if (!missing(errno)) addLocked(found.locked, "Firefox");
            continue;
        }
        for (const std::string& name : *names) {
            std::string path = folder + "/" + name + "/places.sqlite";
            if (worthReading(path))
                found.files.push_back({path, HistoryFormat::firefox, "Firefox"});
        }
    }
    // Reading Safari's history needs a permission that only shows as a failed read.
    if (!places.safari.empty())
        found.files.push_back({joined(home, places.safari), HistoryFormat::safari, "Safari"});
    return found;
}

std::string userHome() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return home;
    passwd entry{};
    passwd* result = nullptr;
    std::array<char, 4096> buffer{};
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 &&
        result != nullptr && result->pw_dir != nullptr)
        return result->pw_dir;
    return {};
}

}  // namespace tarrow
