#include "platform/browser_policies.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>
#include <optional>

#include "common/status.h"
#include "platform/browser_extension.h"
#include "platform/policy_folder.h"

namespace tarrow::platform {

const std::vector<PolicyFolder>& chromiumPolicyFolders() {
#ifdef __APPLE__
    static const std::vector<PolicyFolder> folders;
#else
    // Where each browser's Linux build reads mandatory policies (every *.json in it):
    // - Google Chrome: Chrome Enterprise help, "Set Chrome Browser policies on Linux";
    // - Chromium: chromium.org, "Linux Quick Start" for policies (Debian's package reads
    //   /etc/chromium, Ubuntu's former package /etc/chromium-browser, which Ubuntu's
    //   Chromium snap still reads through its "etc-chromium-browser-policies"
    //   system-files interface; the snap's confinement hides the extension's files
    //   from it, though);
    // - Brave: Brave Help Center, "Group Policy" (Linux: /etc/brave/policies/managed);
    // - Microsoft Edge: Microsoft Learn, "Configure Microsoft Edge policy settings on
    //   Linux";
    // - Vivaldi: its Linux packages brand Chromium's /etc/opt/chrome as /etc/opt/vivaldi.
    static const std::vector<PolicyFolder> folders{
        {"Google Chrome", "/etc/opt/chrome/policies/managed", "/opt/google/chrome"},
        {"Chromium", "/etc/chromium/policies/managed", "/usr/lib/chromium"},
        {"Chromium", "/etc/chromium-browser/policies/managed", "/usr/lib/chromium-browser"},
        {"Brave", "/etc/brave/policies/managed", "/opt/brave.com/brave"},
        {"Microsoft Edge", "/etc/opt/edge/policies/managed", "/opt/microsoft/msedge"},
        {"Vivaldi", "/etc/opt/vivaldi/policies/managed", "/opt/vivaldi"},
    };
#endif
    return folders;
}

namespace {

enum class Present { none, ours, foreign };

struct Found {
    Present present;
    std::string text;  // when ours
};

using IsOurs = std::function<bool(std::string_view text)>;
// The text wanted in one open folder; none to remove ours.
using TextFor = std::function<std::optional<std::string>(int folder)>;

// Policy files are small; anything larger is not one of Tarrow's.
constexpr size_t policyLimit = 16384;

Found policyIn(int folder, const std::string& name, const std::string& path, const IsOurs& ours) {
    struct stat st {};
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return {errno == ENOENT ? Present::none : Present::foreign, {}};
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) return {Present::foreign, {}};
    auto read = readInFolder(folder, name, path, policyLimit);
    if (!read.ok() || !*read || !ours(**read)) return {Present::foreign, {}};
    return {Present::ours, std::move(**read)};
}

bool installed(const std::string& root, const PolicyFolder& entry) {
    struct stat st {};
    return ::stat((root + std::string(entry.installedAt)).c_str(), &st) == 0;
}

}  // namespace

namespace {

std::vector<PolicyChange> keepPolicyFile(std::string_view fileName, const TextFor& textFor,
                                         const IsOurs& ours,
                                         const std::vector<PolicyFolder>& folders,
                                         const std::string& root) {
    using Kind = PolicyChange::Kind;
    const std::string name(fileName);
    std::vector<PolicyChange> changes;
    for (const PolicyFolder& entry : folders) {
        const std::string folderPath = root + std::string(entry.folder);
        const std::string path = folderPath + "/" + name;
        // The folder of an installed browser is made even while nothing is blocked: a
        // running Chromium takes up a changed policy within seconds, but only in a
        // folder that was there when it started.
        auto folder = openFolder(root, entry.folder, installed(root, entry));
        if (!folder) continue;  // neither the folder nor the browser is there
        if (!folder->ok()) {
            const Status& s = folder->status();
            changes.push_back(
                {Kind::leftAlone, s.path(), s.detail().empty() ? s.text() : s.detail()});
            continue;
        }
        const int fd = folder->value().get();
        const Found found = policyIn(fd, name, path, ours);
        const std::optional<std::string> text = textFor(fd);
        if (found.present == Present::foreign) {
            changes.push_back({Kind::leftAlone, path, "a file of that name that is not ours"});
        } else if (text && (found.present == Present::none || found.text != *text)) {
            Status s = writeInFolder(fd, name, *text, 0644, path);
            if (s.ok())
                changes.push_back({Kind::written, path, {}});
            else
                changes.push_back({Kind::leftAlone, path, s.text()});
        } else if (!text && found.present == Present::ours) {
            if (::unlinkat(fd, name.c_str(), 0) == 0)
                changes.push_back({Kind::removed, path, {}});
            else
                changes.push_back(
                    {Kind::leftAlone, path, Status::lastError("remove", path).text()});
        }
    }
    return changes;
}

}  // namespace

std::vector<PolicyChange> keepDnsPolicies(bool on, const std::vector<PolicyFolder>& folders,
                                          const std::string& root) {
    const std::string text(dnsPolicyText);
    return keepPolicyFile(
        dnsPolicyName, [&](int) { return on ? std::optional<std::string>(text) : std::nullopt; },
        [&](std::string_view found) { return found == text; }, folders, root);
}

std::vector<std::string> otherForcedExtensions(int folder) {
    std::vector<std::string> entries;
    const int copy = ::dup(folder);
    if (copy < 0) return entries;
    DIR* dir = ::fdopendir(copy);
    if (!dir) {
        ::close(copy);
        return entries;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.ends_with(".json") && !name.starts_with(".") && name != extensionPolicyName)
            names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        auto read = readInFolder(folder, name, name, 1 << 20);
        if (!read.ok() || !*read) continue;  // links and oddities are not read
        const nlohmann::json policy = nlohmann::json::parse(**read, nullptr, false);
        if (!policy.is_object() || !policy.contains("ExtensionInstallForcelist")) continue;
        const nlohmann::json& list = policy["ExtensionInstallForcelist"];
        if (!list.is_array()) continue;
        for (const nlohmann::json& item : list)
            if (item.is_string() &&
                std::find(entries.begin(), entries.end(), item) == entries.end())
                entries.push_back(item.get<std::string>());
    }
    return entries;
}

std::vector<PolicyChange> keepExtensionPolicies(const std::optional<std::string>& entry,
                                                const std::vector<PolicyFolder>& folders,
                                                const std::string& root) {
    return keepPolicyFile(
        extensionPolicyName,
        [&](int folder) -> std::optional<std::string> {
            if (!entry) return std::nullopt;
            std::vector<std::string> entries{*entry};
            for (std::string& other : otherForcedExtensions(folder))
                if (other != *entry) entries.push_back(std::move(other));
            return extensionPolicyText(entries);
        },
        isExtensionPolicy, folders, root);
}

}  // namespace tarrow::platform
