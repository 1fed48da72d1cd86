#pragma once
// What a stat tells about whether a file changed since it was last read: which file it
// is, its size, its modification and change times. A file replaced by rename is another
// file; one written in place has new times. Cheaper than reading it again.

#include <sys/types.h>

#include <ctime>
#include <string>

#include "common/status.h"

namespace tarrow {

struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{}, changed{};
    bool operator==(const FileStamp& other) const;
};

// The stamp of the file at `path`, links followed; a failure ("stat") when there is none.
Result<FileStamp> fileStamp(const std::string& path);

}  // namespace tarrow
