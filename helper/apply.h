#pragma once
// Rewriting the hosts file's section safely.

#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/hosts_section.h"

namespace tarrow {

struct ApplyError {
    int code = 0;  // 1: the temporary file could not be written; 2: the rename failed
    std::string message;
};

struct ApplyOutcome {
    bool changed = false;
    std::optional<ApplyError> error;
};

// What apply saw last time, so that an unchanged request over an unchanged hosts file
// costs a stat instead of reading and rebuilding the whole file.
struct ApplyMemo {
    std::string resolved;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{}, changed{};
    std::vector<std::string> names;
    std::string address;
};

// Rewrites the section of the hosts file at `hosts` (symbolic links resolved) for these
// names, keeping every foreign byte, the encoding, owner, group and permission bits.
// Writes nothing when the text would not change.
ApplyOutcome apply(const std::vector<std::string>& names, const std::string& hosts,
                   std::string_view address = plainAddress, std::optional<ApplyMemo>* memo = nullptr);

// The path with symbolic links resolved; a missing last component is kept as named.
std::string resolvedPath(const std::string& path);

}  // namespace tarrow
