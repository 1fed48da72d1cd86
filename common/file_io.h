#pragma once
// Small file operations; each failure is a Status naming the operation, the path and
// the reason.

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "common/status.h"

namespace tarrow {

// A read-only descriptor of a regular file, opened without blocking (a FIFO at the path
// never hangs the caller); the caller closes it. A failure for a missing or unreadable
// path, or one that is not a regular file.
Result<int> openRegularFile(const std::string& path);

// The whole content of a regular file. A failure ("read") when it is missing, unreadable
// or not a regular file. Opened without blocking, so a FIFO at the path never hangs the
// caller.
Result<std::string> readRegularFile(const std::string& path);

struct AtomicWrite {
    mode_t mode = 0644;
    std::optional<uid_t> owner;  // chown the new file; failure is ignored
    std::optional<gid_t> group;
    std::string suffix = ".tmp";  // temporary file is path + suffix, next to it
    bool sync = true;             // fsync the file before and the folder after the rename
};

// Writes bytes to path + suffix (removing a stale one first; created exclusively and
// without following links), then renames it over path. On failure the temporary file
// is removed and the old file stays as it was; the Status says "write" and the
// temporary file, or "replace" and path when the rename failed.
Status writeAtomically(const std::string& path, std::string_view bytes,
                       const AtomicWrite& how = {});

// Makes the folder with any missing parents, then checks that a file can be made in it
// (a scratch file, removed again): "cannot create …" or "cannot write …" otherwise.
Status makeWritableFolder(const std::string& path);

// Parent folder of a path ("." when it has none).
std::string folderOf(const std::string& path);

}  // namespace tarrow
