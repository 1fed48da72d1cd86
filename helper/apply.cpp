#include "helper/apply.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "common/file_io.h"

namespace tarrow {

namespace {

bool sameStamp(const ApplyMemo& memo, const std::string& resolved, const struct stat& st) {
    auto same = [](timespec a, timespec b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; };
    return memo.resolved == resolved && memo.device == st.st_dev && memo.inode == st.st_ino &&
           memo.size == st.st_size && same(memo.modified, st.st_mtim) &&
           same(memo.changed, st.st_ctim);
}

void remember(std::optional<ApplyMemo>* memo, const std::string& resolved,
              const std::vector<std::string>& names, std::string_view address) {
    if (!memo) return;
    struct stat st {};
    if (::stat(resolved.c_str(), &st) != 0) {
        memo->reset();
        return;
    }
    *memo = ApplyMemo{resolved, st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim,
                      names,    std::string(address)};
}

}  // namespace

std::string resolvedPath(const std::string& path) {
    char buffer[PATH_MAX];
    if (::realpath(path.c_str(), buffer)) return buffer;
    // The file itself may be missing: resolve its folder and keep the name.
    std::string folder = folderOf(path);
    std::string name = path.substr(path.find_last_of('/') + 1);
    if (::realpath(folder.c_str(), buffer)) {
        std::string base = buffer;
        return (base == "/" ? "" : base) + "/" + name;
    }
    return path;
}

ApplyOutcome apply(const std::vector<std::string>& names, const std::string& hosts,
                   std::string_view address, std::optional<ApplyMemo>* memo) {
    const std::string resolved = resolvedPath(hosts);
    struct stat st {};
    const bool statOk = ::stat(resolved.c_str(), &st) == 0;
    if (memo && *memo && statOk && sameStamp(**memo, resolved, st) && (*memo)->names == names &&
        (*memo)->address == address)
        return {};

    std::optional<HostsText> old = readText(resolved);
    if (!old) old = HostsText{};
    std::string updated = hostsFile(old->text, names, address);
    if (updated == old->text) {
        remember(memo, resolved, names, address);
        return {};
    }
    // The text keeps the file's encoding: foreign bytes are copied as they are and the
    // section is ASCII, so a Latin-1 file stays Latin-1 without conversion.

    AtomicWrite how;
    how.suffix = ".tarrow-new";
    how.mode = statOk ? (st.st_mode & 0777) : 0644;
    if (statOk) {
        how.owner = st.st_uid;
        how.group = st.st_gid;
    }
    if (auto failure = writeAtomically(resolved, updated, how)) {
        if (failure->renaming)
            return {false, ApplyError{2, "cannot replace " + resolved + ": " +
                                             std::strerror(failure->error)}};
        return {false, ApplyError{1, "cannot write " + resolved + how.suffix}};
    }
    remember(memo, resolved, names, address);
    return {true, std::nullopt};
}

}  // namespace tarrow
