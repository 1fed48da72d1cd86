#include "platform/browser_policies.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "common/status.h"

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

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Fd& operator=(Fd&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    int get() const { return fd_; }

  private:
    int fd_;
};

// Why a path that should be a folder is not one we go into.
std::string notAFolder(int parent, const std::string& name) {
    struct stat st {};
    if (::fstatat(parent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
        return "a symbolic link, not followed";
    return "not a folder";
}

// Opens the folder one component at a time from `root`, never through a symbolic
// link; creates missing components (mode 0755) when `create`. None when a component
// is missing and not created.
std::optional<Result<Fd>> openFolder(const std::string& root, std::string_view folder,
                                     bool create) {
    const std::string top = root.empty() ? "/" : root;
    Fd current(::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (current.get() < 0) return Result<Fd>(Status::lastError("open", top));
    std::string walked = root;
    size_t start = 0;
    while (start < folder.size()) {
        size_t slash = folder.find('/', start);
        if (slash == std::string_view::npos) slash = folder.size();
        const std::string name(folder.substr(start, slash - start));
        start = slash + 1;
        if (name.empty()) continue;
        walked += "/" + name;
        const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
        int fd = ::openat(current.get(), name.c_str(), flags);
        if (fd < 0 && errno == ENOENT) {
            if (!create) return std::nullopt;
            if (::mkdirat(current.get(), name.c_str(), 0755) != 0 && errno != EEXIST)
                return Result<Fd>(Status::lastError("create", walked));
            fd = ::openat(current.get(), name.c_str(), flags);
            if (fd >= 0)
                ::fchmod(fd, 0755);  // the browsers read it as their users, whatever the umask
        }
        if (fd < 0 && (errno == ELOOP || errno == ENOTDIR))
            return Result<Fd>(Status::failure("use", walked, 0, notAFolder(current.get(), name)));
        if (fd < 0) return Result<Fd>(Status::lastError("open", walked));
        current = Fd(fd);
    }
    return Result<Fd>(std::move(current));
}

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

// Writes the policy beside its place and renames it there, all inside the open folder.
Status writePolicy(int folder, const std::string& path) {
    const std::string name(dnsPolicyName);
    const std::string temp = "." + name + ".new";
    ::unlinkat(folder, temp.c_str(), 0);  // a stale one from a crash; a link goes, not its target
    Fd fd(
        ::openat(folder, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (fd.get() < 0) return Status::lastError("create", path + ".new");
    const bool written = ::write(fd.get(), dnsPolicyText.data(), dnsPolicyText.size()) ==
                             static_cast<ssize_t>(dnsPolicyText.size()) &&
                         ::fchmod(fd.get(), 0644) == 0 && ::fsync(fd.get()) == 0;
    if (!written || ::renameat(folder, temp.c_str(), folder, name.c_str()) != 0) {
        Status failure = Status::lastError(written ? "replace" : "write", path);
        ::unlinkat(folder, temp.c_str(), 0);
        return failure;
    }
    return {};
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
        auto folder = openFolder(root, entry.folder, on && installed(root, entry));
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
            Status s = writePolicy(fd, path);
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
