#include "helper/apply.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "common/file_io.h"

namespace tarrow {

namespace {

bool sameTime(timespec a, timespec b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool memoMatches(const ApplyMemo& memo, const std::string& resolved, const struct stat& st,
                 const std::vector<std::string>& names, std::string_view address) {
    return memo.resolved == resolved && memo.device == st.st_dev && memo.inode == st.st_ino &&
           memo.size == st.st_size && sameTime(memo.modified, st.st_mtim) &&
           sameTime(memo.changed, st.st_ctim) && memo.address == address && memo.names == names;
}

// The path a symbolic link points to, made absolute against the link's folder.
std::optional<std::string> linkTarget(const std::string& path) {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
    if (n <= 0 || static_cast<size_t>(n) == sizeof buffer) return std::nullopt;
    std::string target(buffer, static_cast<size_t>(n));
    return target.front() == '/' ? target : folderOf(path) + "/" + target;
}

}  // namespace

std::string resolvedPath(const std::string& path) {
    char buffer[PATH_MAX];
    std::string current = path;
    // Follow links by hand while the end of the chain is missing; the hop limit is the
    // kernel's, so a loop ends up as an unresolved path that stat reports.
    for (int hop = 0; hop < 40; ++hop) {
        if (::realpath(current.c_str(), buffer)) return buffer;
        std::optional<std::string> target = linkTarget(current);
        if (!target) break;
        current = *target;
    }
    // The file itself is missing: resolve its folder and keep the name.
    std::string name = current.substr(current.find_last_of('/') + 1);
    if (::realpath(folderOf(current).c_str(), buffer)) {
        std::string folder = buffer;
        return (folder == "/" ? "" : folder) + "/" + name;
    }
    return current;
}

Result<bool> apply(const std::vector<std::string>& names, const std::string& hosts,
                   std::string_view address, std::optional<ApplyMemo>* memo) {
    const std::string resolved = resolvedPath(hosts);
    struct stat st {};
    const bool exists = ::stat(resolved.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return Status::lastError("read", resolved);
    if (memo && *memo && exists && memoMatches(**memo, resolved, st, names, address)) return false;
    if (memo) memo->reset();

    // Only a missing file is taken as empty: replacing an unreadable one, or a device or
    // folder behind the path, with nothing but the section would lose the user's lines.
    if (exists && !S_ISREG(st.st_mode))
        return Status::failure("replace", resolved, 0, "not a regular file");
    // Foreign bytes are copied as they are and the section is ASCII, so the file keeps its
    // own encoding (a Latin-1 file stays Latin-1) without being decoded at all.
    std::string old;
    if (Result<std::string> read = readRegularFile(resolved)) {
        old = std::move(*read);
    } else if (exists) {
        return read.status();
    }

    std::string updated = hostsFile(old, names, address);
    if (updated == old) {
        // Stamped with the stat taken before the read: a change made since then shows.
        if (memo && exists)
            *memo = ApplyMemo{resolved,   st.st_dev,  st.st_ino, st.st_size,
                              st.st_mtim, st.st_ctim, names,     std::string(address)};
        return false;
    }

    AtomicWrite how;
    how.suffix = applyTempSuffix;
    how.mode = exists ? (st.st_mode & 0777) : 0644;
    if (exists) {
        how.owner = st.st_uid;
        how.group = st.st_gid;
    }
    if (Status written = writeAtomically(resolved, updated, how); !written.ok()) return written;
    return true;
}

}  // namespace tarrow
