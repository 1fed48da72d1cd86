#include "common/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace tarrow {

namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

void syncFolder(const std::string& path) {
    int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The descriptor of a regular file, or why there is none, said as `operation`.
Result<int> openRegular(const std::string& path, const char* operation) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Status::lastError(operation, path);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        Status status = Status::lastError(operation, path);
        ::close(fd);
        return status;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return Status::failure(operation, path, 0, "not a regular file");
    }
    return fd;
}

}  // namespace

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

Result<int> openRegularFile(const std::string& path) {
    return openRegular(path, "open");
}

Result<std::string> readRegularFile(const std::string& path) {
    Result<int> opened = openRegular(path, "read");
    if (!opened) return opened.status();
    const int fd = *opened;
    struct stat st {};
    ::fstat(fd, &st);
    // One byte more than the size, so that the read that finds the end needs no growth.
    std::string out;
    out.resize(static_cast<size_t>(st.st_size) + 1);
    size_t have = 0;
    while (true) {
        if (have == out.size()) out.resize(2 * out.size());  // the file has grown since fstat
        ssize_t n = ::read(fd, out.data() + have, out.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            Status status = Status::lastError("read", path);
            ::close(fd);
            return status;
        }
        if (n == 0) break;
        have += static_cast<size_t>(n);
    }
    ::close(fd);
    out.resize(have);
    return out;
}

Status writeAtomically(const std::string& path, std::string_view bytes, const AtomicWrite& how) {
    const std::string temp = path + how.suffix;
    ::unlink(temp.c_str());
    // O_EXCL and O_NOFOLLOW: a link planted at the temporary name is never followed.
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, how.mode);
    if (fd < 0) return Status::lastError("write", temp);
    bool ok = ::fchmod(fd, how.mode) == 0 && writeAll(fd, bytes) && (!how.sync || ::fsync(fd) == 0);
    int err = errno;
    if (ok && (how.owner || how.group)) {
        [[maybe_unused]] int ignored = ::fchown(fd, how.owner.value_or(static_cast<uid_t>(-1)),
                                                how.group.value_or(static_cast<gid_t>(-1)));
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return Status::failure("write", temp, err);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        err = errno;
        ::unlink(temp.c_str());
        return Status::failure("replace", path, err);
    }
    if (how.sync) syncFolder(path);
    return {};
}

Status makeWritableFolder(const std::string& path) {
    if (path.empty()) return Status::failure("create", path, 0, "no folder named");
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error) return Status::failure("create", path, error.value());
    if (!std::filesystem::is_directory(path, error))
        return Status::failure("create", path, ENOTDIR);
    std::string scratch = path + "/.tarrow-XXXXXX";
    const int fd = ::mkstemp(scratch.data());
    if (fd < 0) return Status::lastError("write", path);
    ::close(fd);
    ::unlink(scratch.c_str());
    return {};
}

}  // namespace tarrow
