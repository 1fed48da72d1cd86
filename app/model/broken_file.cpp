#include "app/model/broken_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "app/model/state_folder.h"

namespace tarrow {

namespace {

constexpr int maxBrokenCopies = 1000;

std::string fileName(std::string_view stem) {
    return std::string(stem) + ".json";
}

// Renames without replacing an existing file.
Status renameNew(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
    if (errno != EINVAL && errno != ENOSYS) return Status::lastError("move", from);
    // A file system without that flag: check first (a race here costs an older copy).
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return Status::failure("move", from, EEXIST);
    if (::rename(from.c_str(), to.c_str()) != 0) return Status::lastError("move", from);
    return {};
}

}  // namespace

std::string brokenName(std::string_view stem, int n) {
    const std::string base = std::string(stem) + ".broken";
    return n == 0 ? base + ".json" : base + "." + std::to_string(n) + ".json";
}

Result<std::string> setAside(const std::string& folder, std::string_view stem) {
    const std::string from = fileIn(folder, fileName(stem));
    Status moved;
    for (int n = 0; n < maxBrokenCopies; ++n) {
        moved = renameNew(from, fileIn(folder, brokenName(stem, n)));
        if (moved.ok()) return brokenName(stem, n);
        if (moved.error() != EEXIST && moved.error() != ENOTEMPTY) break;
    }
    return moved;
}

Result<std::string> keepAsItIs(const std::string& folder, std::string_view stem) {
    const std::string from = fileIn(folder, fileName(stem));
    for (int n = 0; n < maxBrokenCopies; ++n) {
        const std::string to = fileIn(folder, brokenName(stem, n));
        if (::link(from.c_str(), to.c_str()) == 0) return brokenName(stem, n);
        if (errno != EEXIST) return Status::lastError("link", from + " to " + to);
    }
    return Status::failure("link", from + " to " + fileIn(folder, brokenName(stem, 0)), EEXIST);
}

}  // namespace tarrow
