#pragma once
// Rewriting the hosts file's section safely.

#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/hosts_section.h"

namespace tarrow {

enum class ApplyErrorCode {
    cannotWrite = 1,    // "cannot write <temporary file>"
    cannotReplace = 2,  // "cannot replace <hosts file>: <reason>"
    cannotRead = 3,     // "cannot read <hosts file>": it exists, so it is never taken as empty
};

struct ApplyError {
    ApplyErrorCode code;
    std::string message;
};

struct ApplyOutcome {
    bool changed = false;
    std::optional<ApplyError> error;
};

// What apply found last time it read the file and left it as it was, so that an
// unchanged request over an unchanged hosts file costs a stat instead of reading and
// rebuilding the whole file.
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
// Writes nothing when the text would not change. A missing file counts as empty; one
// that exists but cannot be read, or is not a regular file, is left alone.
ApplyOutcome apply(const std::vector<std::string>& names, const std::string& hosts,
                   std::string_view address = plainAddress,
                   std::optional<ApplyMemo>* memo = nullptr);

// The path with symbolic links resolved, also when the last one points to a missing
// file (that file is then the one to create, and the link stays).
std::string resolvedPath(const std::string& path);

// Suffix of the temporary file written next to the hosts file.
inline constexpr std::string_view applyTempSuffix = ".tarrow-new";

}  // namespace tarrow
