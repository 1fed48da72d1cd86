#include "platform/desktop/desktop_entries.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "common/file_io.h"

namespace tarrow::platform {

namespace {

namespace fs = std::filesystem;

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::vector<std::string> splitList(std::string_view value, char separator) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= value.size()) {
        size_t end = value.find(separator, start);
        if (end == std::string_view::npos) end = value.size();
        if (end > start) out.emplace_back(value.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// The program of an Exec line: its first word, without quotes and folders.
std::string programOf(std::string_view exec) {
    while (!exec.empty() && exec.front() == ' ') exec.remove_prefix(1);
    std::string word;
    if (!exec.empty() && exec.front() == '"') {
        size_t end = exec.find('"', 1);
        word = std::string(exec.substr(1, end == std::string_view::npos ? end : end - 1));
    } else {
        word = std::string(exec.substr(0, exec.find(' ')));
    }
    const size_t slash = word.rfind('/');
    return slash == std::string::npos ? word : word.substr(slash + 1);
}

}  // namespace

std::optional<DesktopEntry> parseDesktopEntry(std::string_view id, std::string_view text) {
    DesktopEntry entry;
    entry.id = std::string(id);
    bool inside = false, application = false;
    for (const std::string& raw : splitList(text, '\n')) {
        std::string_view line = raw;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            inside = line == "[Desktop Entry]";
            continue;
        }
        if (!inside) continue;
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
        while (!key.empty() && key.back() == ' ') key.remove_suffix(1);
        while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
        if (key == "Type")
            application = value == "Application";
        else if (key == "Name")
            entry.name = std::string(value);
        else if (key == "StartupWMClass")
            entry.wmClass = std::string(value);
        else if (key == "Exec")
            entry.program = programOf(value);
        else if (key == "MimeType")
            entry.mimeTypes = splitList(value, ';');
        else if (key == "Hidden")
            entry.hidden = value == "true";
    }
    if (!application) return std::nullopt;
    return entry;
}

std::vector<std::string> applicationFolders() {
    std::vector<std::string> folders;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (dataHome && *dataHome)
        folders.push_back(std::string(dataHome) + "/applications");
    else if (home && *home)
        folders.push_back(std::string(home) + "/.local/share/applications");
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    const std::string dirs = dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share";
    for (const std::string& dir : splitList(dirs, ':')) folders.push_back(dir + "/applications");
    return folders;
}

std::vector<DesktopEntry> desktopEntries(const std::vector<std::string>& folders) {
    std::vector<DesktopEntry> entries;
    std::set<std::string> seen;
    for (const std::string& folder : folders) {
        std::error_code error;
        std::vector<fs::path> files;
        for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            if (it->path().extension() == ".desktop") files.push_back(it->path());
        }
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            // The id is the path below the folder with "/" turned into "-".
            std::string id = fs::relative(file, folder, error).replace_extension().string();
            std::replace(id.begin(), id.end(), '/', '-');
            if (error || !seen.insert(id).second) continue;
            const auto text = readRegularFile(file.string());
            if (!text) continue;
            if (auto entry = parseDesktopEntry(id, *text)) entries.push_back(std::move(*entry));
        }
    }
    return entries;
}

std::set<std::string> webBrowsers(const std::vector<DesktopEntry>& entries) {
    std::set<std::string> ids;
    for (const DesktopEntry& entry : entries) {
        if (entry.hidden) continue;
        const auto& types = entry.mimeTypes;
        if (std::find(types.begin(), types.end(), "x-scheme-handler/https") != types.end()) {
            ids.insert(entry.id);
        }
    }
    return ids;
}

std::optional<DesktopEntry> entryForWindow(const std::vector<DesktopEntry>& entries,
                                           std::string_view instance, std::string_view wmClass,
                                           std::string_view program) {
    const std::string names[] = {lower(wmClass), lower(instance)};
    for (const std::string& name : names) {
        if (name.empty()) continue;
        for (const DesktopEntry& e : entries) {
            if (!e.hidden && lower(e.wmClass) == name) return e;
        }
    }
    for (const std::string& name : names) {
        if (name.empty()) continue;
        for (const DesktopEntry& e : entries) {
            if (e.hidden) continue;
            const std::string id = lower(e.id);
            // "firefox-esr" and "org.mozilla.firefox" both name a window of class firefox.
            if (id == name || id.ends_with("." + name)) return e;
        }
    }
    if (!program.empty()) {
        for (const DesktopEntry& e : entries) {
            if (!e.hidden && e.program == program) return e;
        }
    }
    return std::nullopt;
}

}  // namespace tarrow::platform
