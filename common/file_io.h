#pragma once
// Small file operations with errors as values.

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "common/status.h"

namespace tarrow {

// A read-only descriptor of a regular file, opened without blocking (a FIFO at the path
// never hangs the caller); -1 when the path is missing, unreadable or not a regular file.
int openRegularFile(const std::string& path);

// The whole content of a regular file; none when it is missing, unreadable or not a
// regular file. Opened without blocking, so a FIFO at the path never hangs the caller.
std::optional<std::string> readRegularFile(const std::string& path);

struct WriteError {
    std::string path;  // the file that failed (the temporary file or the target)
    int error = 0;     // errno
    bool renaming = false;
};

struct AtomicWrite {
    mode_t mode = 0644;
    std::optional<uid_t> owner;  // chown the new file; failure is ignored
    std::optional<gid_t> group;
    std::string suffix = ".tmp";  // temporary file is path + suffix, next to it
    bool sync = true;             // fsync the file before and the folder after the rename
};

// Writes bytes to path + suffix (removing a stale one first; created exclusively and
// without following links), then renames it over path. On failure the temporary file
// is removed and the old file stays as it was.
std::optional<WriteError> writeAtomically(const std::string& path, std::string_view bytes,
                                          const AtomicWrite& how = {});

// Makes the folder with any missing parents, then checks that a file can be made in it
// (a scratch file, removed again): "cannot create …" or "cannot write …" otherwise.
Status makeWritableFolder(const std::string& path);

// Parent folder of a path ("." when it has none).
std::string folderOf(const std::string& path);

}  // namespace tarrow
