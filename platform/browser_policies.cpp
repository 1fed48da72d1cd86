#include "platform/browser_policies.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "common/status.h"
#include "platform/policy_folder.h"

namespace tarrow::platform {

const std::vector<PolicyFolder>& chromiumPolicyFolders() {
#ifdef __APPLE__
    static const std::vector<PolicyFolder> folders;
#else
    // Where each browser's Linux build reads mandatory policies (every *.json in it):
    // - Google Chrome: Chrome Enterprise help, "Set Chrome Browser policies on Linux";
    // - Chromium: chromium.org, "Linux Quick Start" for policies (Debian's package reads
    //   /etc/chromium, Ubuntu's former package /etc/chromium-browser);
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

Present policyIn(int folder) {
    const std::string name(dnsPolicyName);
    struct stat st {};
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? Present::none : Present::foreign;
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
        st.st_size != static_cast<off_t>(dnsPolicyText.size()))
        return Present::foreign;
    Fd fd(::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) return Present::foreign;
    char buffer[64] = {};
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    return n == static_cast<ssize_t>(dnsPolicyText.size()) &&
                   std::string_view(buffer, static_cast<size_t>(n)) == dnsPolicyText
               ? Present::ours
               : Present::foreign;
}

bool installed(const std::string& root, const PolicyFolder& entry) {
    struct stat st {};
    return ::stat((root + std::string(entry.installedAt)).c_str(), &st) == 0;
}

}  // namespace

std::vector<PolicyChange> keepDnsPolicies(bool on, const std::vector<PolicyFolder>& folders,
                                          const std::string& root) {
    using Kind = PolicyChange::Kind;
    std::vector<PolicyChange> changes;
    for (const PolicyFolder& entry : folders) {
        const std::string folderPath = root + std::string(entry.folder);
        const std::string path = folderPath + "/" + std::string(dnsPolicyName);
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
        const Present present = policyIn(fd);
        if (present == Present::foreign) {
            changes.push_back({Kind::leftAlone, path, "a file of that name that is not ours"});
        } else if (on && present == Present::none) {
            Status s = writeInFolder(fd, std::string(dnsPolicyName), dnsPolicyText, 0644, path);
            if (s.ok())
                changes.push_back({Kind::written, path, {}});
            else
                changes.push_back({Kind::leftAlone, path, s.text()});
        } else if (!on && present == Present::ours) {
            if (::unlinkat(fd, std::string(dnsPolicyName).c_str(), 0) == 0)
                changes.push_back({Kind::removed, path, {}});
            else
                changes.push_back(
                    {Kind::leftAlone, path, Status::lastError("remove", path).text()});
        }
    }
    return changes;
}

}  // namespace tarrow::platform
