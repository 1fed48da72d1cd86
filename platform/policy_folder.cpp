#include "platform/policy_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarrow::platform {

Fd::~Fd() {
    if (fd_ >= 0) ::close(fd_);
}

namespace {

// Why a path that should be a folder is not one we go into.
std::string notAFolder(int parent, const std::string& name) {
    struct stat st {};
    if (::fstatat(parent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
        return "a symbolic link, not followed";
    return "not a folder";
}

}  // namespace

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
            // The browsers read it as their users, whatever the umask.
            if (fd >= 0) ::fchmod(fd, 0755);
        }
        if (fd < 0 && (errno == ELOOP || errno == ENOTDIR))
            return Result<Fd>(Status::failure("use", walked, 0, notAFolder(current.get(), name)));
        if (fd < 0) return Result<Fd>(Status::lastError("open", walked));
        current = Fd(fd);
    }
    return Result<Fd>(std::move(current));
}

Result<std::optional<std::string>> readInFolder(int folder, const std::string& name,
                                                const std::string& path, size_t limit) {
    using Read = Result<std::optional<std::string>>;
    struct stat st {};
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT) return Read(std::optional<std::string>());
        return Read(Status::lastError("read", path));
    }
    if (!S_ISREG(st.st_mode))
        return Read(Status::failure(
            "read", path, 0,
            S_ISLNK(st.st_mode) ? "a symbolic link, not followed" : "not a regular file"));
    if (static_cast<size_t>(st.st_size) > limit)
        return Read(Status::failure("read", path, 0, "larger than a policy file can be"));
    Fd fd(::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) return Read(Status::lastError("read", path));
    std::string bytes;
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Read(Status::lastError("read", path));
        if (n == 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
        if (bytes.size() > limit)
            return Read(Status::failure("read", path, 0, "larger than a policy file can be"));
    }
    return Read(std::optional<std::string>(std::move(bytes)));
}

Status writeInFolder(int folder, const std::string& name, std::string_view bytes, mode_t mode,
                     const std::string& path) {
    const std::string temp = "." + name + ".new";
    ::unlinkat(folder, temp.c_str(), 0);  // a stale one from a crash; a link goes, not its target
    Fd fd(
        ::openat(folder, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (fd.get() < 0) return Status::lastError("create", path + ".new");
    bool written = ::fchmod(fd.get(), mode) == 0;
    for (size_t done = 0; written && done < bytes.size();) {
        const ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        written = n > 0;
        if (written) done += static_cast<size_t>(n);
    }
    written = written && ::fsync(fd.get()) == 0;
    if (!written || ::renameat(folder, temp.c_str(), folder, name.c_str()) != 0) {
        Status failure = Status::lastError(written ? "replace" : "write", path);
        ::unlinkat(folder, temp.c_str(), 0);
        return failure;
    }
    return {};
}

}  // namespace tarrow::platform
