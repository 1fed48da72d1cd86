#include "app/model/state_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/paths.h"

namespace tarrow {

namespace {

std::optional<std::string> variable(const char* name) {
    const char* v = std::getenv(name);
    if (!v) return std::nullopt;
    return std::string(v);
}

std::string userHome(const char* user) {
    std::vector<char> buf(16384);
    struct passwd pw {};
    struct passwd* found = nullptr;
    int rc = user ? ::getpwnam_r(user, &pw, buf.data(), buf.size(), &found)
                  : ::getpwuid_r(::getuid(), &pw, buf.data(), buf.size(), &found);
    if (rc != 0 || !found || !found->pw_dir) return {};
    return found->pw_dir;
}

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string absolute(std::string path, const std::string& workingFolder) {
    if (path.empty() || path.front() == '/') return path;
    return fileIn(workingFolder, path);
}

}  // namespace

Environment currentEnvironment() {
    Environment e;
    e.tarrowHome = variable("TARROW_HOME");
    e.xdgDataHome = variable("XDG_DATA_HOME");
    auto home = variable("HOME");
    e.home = home && !home->empty() ? *home : userHome(nullptr);
    char cwd[4096];
    e.workingFolder = ::getcwd(cwd, sizeof cwd) ? cwd : "/";
    return e;
}

std::string expandTilde(std::string_view path, std::string_view home) {
    if (path.empty() || path.front() != '~') return std::string(path);
    size_t slash = path.find('/');
    std::string_view user = path.substr(1, slash == std::string_view::npos ? path.npos : slash - 1);
    std::string rest = slash == std::string_view::npos ? "" : std::string(path.substr(slash));
    std::string base = user.empty() ? std::string(home) : userHome(std::string(user).c_str());
    if (base.empty()) return std::string(path);  // no such user: kept as written
    return withoutTrailingSlashes(base) + rest;
}

std::string folderFor(const Environment& e) {
    if (e.tarrowHome && !e.tarrowHome->empty())
        return withoutTrailingSlashes(
            absolute(expandTilde(*e.tarrowHome, e.home), e.workingFolder));
    // Relative data homes are to be ignored, as the XDG rules say.
    std::string data = e.xdgDataHome && !e.xdgDataHome->empty() && e.xdgDataHome->front() == '/'
                           ? *e.xdgDataHome
                           : fileIn(e.home, ".local/share");
    return fileIn(withoutTrailingSlashes(data), appName);
}

const std::string& folder() {
    static const std::string value = folderFor(currentEnvironment());
    return value;
}

std::string file(std::string_view name) {
    return fileIn(folder(), name);
}

std::string fileIn(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (out.empty() || out.back() != '/') out += '/';
    out += name;
    return out;
}

std::string pinfoldFile(std::string_view folder) {
    std::string f = withoutTrailingSlashes(std::string(folder));
    size_t slash = f.find_last_of('/');
    std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : f.substr(0, slash);
    return fileIn(parent, "Pinfold/config.json");
}

}  // namespace tarrow
