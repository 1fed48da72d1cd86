#pragma once
// Rewriting the hosts file's section safely.

#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/hosts_section.h"
#include "common/status.h"

namespace tarrow {

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
// True when the file changed; nothing is written when the text would not change. A
// missing file counts as empty; one that exists but cannot be read ("read"), or is not
// a regular file ("replace"), is left alone. A failed write says "write" and the
// temporary file, a failed rename "replace" and the hosts file.
Result<bool> apply(const std::vector<std::string>& names, const std::string& hosts,
                   std::string_view address = plainAddress,
                   std::optional<ApplyMemo>* memo = nullptr);

// The path with symbolic links resolved, also when the last one points to a missing
// file (that file is then the one to create, and the link stays).
std::string resolvedPath(const std::string& path);

// Suffix of the temporary file written next to the hosts file.
inline constexpr std::string_view applyTempSuffix = ".tarrow-new";

}  // namespace tarrow
