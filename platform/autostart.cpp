#include "platform/autostart.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "common/file_io.h"
#include "common/utf8.h"
#include "platform/paths.h"

namespace tarrow::platform {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string homeFolder() {
    std::string home = environment("HOME");
    if (!home.empty()) return home;
    const passwd* user = ::getpwuid(::getuid());
    return user && user->pw_dir ? user->pw_dir : "";
}

bool absolute(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

std::string inAutostart(const std::string& folder) {
    return folder + "/autostart/" + std::string(desktopFileId);
}

// The Exec value for one program path, quoted as the desktop entry rules ask: reserved
// characters put the path in double quotes, inside which " ` $ and \ take a backslash;
// "%" is doubled so it is no field code. Then the value's own escaping doubles "\".
std::optional<std::string> execValue(std::string_view program) {
    if (program.empty() || !validUtf8(program)) return std::nullopt;
    bool quote = false;
    std::string arg;
    for (char c : program) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) return std::nullopt;
        if (std::string_view(" \t\"'\\><~|&;$*?#()`").find(c) != std::string_view::npos)
            quote = true;
        if (c == '"' || c == '`' || c == '$' || c == '\\') arg += '\\';
        if (c == '%') arg += '%';
        arg += c;
    }
    if (quote) arg = '"' + arg + '"';
    std::string value;
    for (char c : arg) {
        if (c == '\\') value += '\\';
        value += c;
    }
    return value;
}

// The keys of the [Desktop Entry] group that decide whether an entry runs.
bool entryRuns(const std::string& text) {
    bool inEntry = false;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntry) continue;
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
        while (!key.empty() && key.back() == ' ') key.remove_suffix(1);
        while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
        if (key == "Hidden" && value == "true") return false;
        if (key == "X-GNOME-Autostart-enabled" && value == "false") return false;
    }
    return true;
}

bool exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

// The first system entry, when there is one: whether it would start the app.
bool systemEntryRuns(const AutostartPlaces& places) {
    for (const std::string& path : places.system) {
        if (!exists(path)) continue;
        const Result<std::string> text = readRegularFile(path);
        return text.ok() && entryRuns(*text);
    }
    return false;
}

Status write(const std::string& path, const std::optional<std::string>& text) {
    if (!text)
        return Status::failure("write", path, 0, "the program\u2019s path cannot go into an entry");
    const std::string folder = folderOf(path);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) return Status::failure("create", folder, error.value());
    return writeAtomically(path, *text);
}

}  // namespace

AutostartPlaces autostartPlaces() {
    AutostartPlaces places;
    std::string config = environment("XDG_CONFIG_HOME");
    if (!absolute(config)) config = homeFolder() + "/.config";
    places.user = inAutostart(config);

    std::string dirs = environment("XDG_CONFIG_DIRS");
    if (dirs.empty()) dirs = "/etc/xdg";
    size_t at = 0;
    while (at <= dirs.size()) {
        size_t end = dirs.find(':', at);
        if (end == std::string::npos) end = dirs.size();
        const std::string folder = dirs.substr(at, end - at);
        if (absolute(folder)) places.system.push_back(inAutostart(folder));
        at = end + 1;
    }
    return places;
}

bool autostartEnabled(const AutostartPlaces& places) {
    if (!exists(places.user)) return systemEntryRuns(places);
    const Result<std::string> text = readRegularFile(places.user);
    return text.ok() && entryRuns(*text);
}

Status setAutostart(const AutostartPlaces& places, bool on, std::string_view program) {
    if (on) return write(places.user, autostartEntry(program));
    if (systemEntryRuns(places)) return write(places.user, autostartEntry(program, true));
    if (::unlink(places.user.c_str()) != 0 && errno != ENOENT)
        return Status::lastError("remove", places.user);
    return {};
}

std::optional<std::string> autostartEntry(std::string_view program, bool hidden) {
    const std::optional<std::string> exec = execValue(program);
    if (!exec) return std::nullopt;
    const std::string name(appName);
    if (hidden)
        return "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + *exec +
               "\nHidden=true\n";
    return "[Desktop Entry]\nType=Application\nName=" + name +
           "\nComment=Keeps chosen sites closed in every browser\nExec=" + *exec +
           "\nIcon=de.brightloom.tarrow\nTerminal=false\n";
}

std::string runningProgram() {
    std::error_code error;
    std::string program = std::filesystem::read_symlink("/proc/self/exe", error).string();
    if (error) return "tarrow";
    // A program replaced while it runs (a package update) still starts from its path.
    constexpr std::string_view deleted = " (deleted)";
    if (program.size() > deleted.size() &&
        program.compare(program.size() - deleted.size(), deleted.size(), deleted) == 0)
        program.resize(program.size() - deleted.size());
    return program;
}

}  // namespace tarrow::platform
