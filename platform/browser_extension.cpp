#include "platform/browser_extension.h"

#include <sys/stat.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "common/file_io.h"

namespace tarrow::platform {

namespace {

bool validId(std::string_view id) {
    return id.size() == 32 &&
           std::all_of(id.begin(), id.end(), [](char c) { return c >= 'a' && c <= 'p'; });
}

bool validVersion(std::string_view v) {
    return !v.empty() && v.size() <= 32 && v.front() != '.' && v.back() != '.' &&
           std::all_of(v.begin(), v.end(),
                       [](char c) { return c == '.' || (c >= '0' && c <= '9'); });
}

// A file address from an absolute path; the characters that a URL or the XML
// attribute would take otherwise are written as %XX.
std::string fileAddress(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) || std::string_view("/-._~").find(char(c)) != std::string_view::npos) {
            out += char(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

}  // namespace

std::optional<ExtensionBuild> parseExtensionId(std::string_view text) {
    if (!text.ends_with('\n')) return std::nullopt;
    text.remove_suffix(1);
    const size_t space = text.find(' ');
    if (space == std::string_view::npos) return std::nullopt;
    ExtensionBuild build{
        {}, std::string(text.substr(0, space)), std::string(text.substr(space + 1))};
    if (!validId(build.id) || !validVersion(build.version)) return std::nullopt;
    return build;
}

std::optional<ExtensionBuild> extensionBeside(const std::string& program) {
    const std::string folder =
        program.substr(0, program.rfind('/') + 1) + std::string(extensionFolderName);
    Result<std::string> text = readRegularFile(folder + "/id");
    if (!text.ok()) return std::nullopt;
    std::optional<ExtensionBuild> build = parseExtensionId(*text);
    struct stat st {};
    if (!build || ::stat((folder + "/tarrow.crx").c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    build->crxPath = folder + "/tarrow.crx";
    return build;
}

std::string updateManifest(const ExtensionBuild& build) {
    return "<?xml version='1.0' encoding='UTF-8'?>\n"
           "<gupdate xmlns='http://www.google.com/update2/response' protocol='2.0'>\n"
           "  <app appid='" +
           build.id + "'>\n    <updatecheck codebase='" + fileAddress(build.crxPath) +
           "' version='" + build.version + "' />\n  </app>\n</gupdate>\n";
}

std::string forcedEntry(const std::string& id, const std::string& updatesPath) {
    return id + ";" + fileAddress(updatesPath);
}

std::string extensionPolicyText(const std::vector<std::string>& entries) {
    return "{\"ExtensionInstallForcelist\": " + nlohmann::json(entries).dump() + "}\n";
}

bool isExtensionPolicy(std::string_view text) {
    const nlohmann::json policy = nlohmann::json::parse(text, nullptr, false);
    if (!policy.is_object() || policy.size() != 1 || !policy.contains("ExtensionInstallForcelist"))
        return false;
    const nlohmann::json& list = policy["ExtensionInstallForcelist"];
    if (!list.is_array() || list.empty()) return false;
    for (const nlohmann::json& item : list)
        if (!item.is_string()) return false;
    const std::string entry = list[0].get<std::string>();
    return entry.size() > 33 && validId(std::string_view(entry).substr(0, 32)) &&
           std::string_view(entry).substr(32).starts_with(";file:///");
}

}  // namespace tarrow::platform
