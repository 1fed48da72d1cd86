#include "app/controller/still_open_watch.h"

#include <cerrno>

#include "common/file_io.h"

namespace tarrow::app {

namespace {

bool missing(const Status& status) {
    return status.error() == ENOENT || status.error() == ENOTDIR;
}

}  // namespace

Status StillOpenWatch::update() {
    const Result<FileStamp> stamp = fileStamp(path_);
    if (stamp && seen_ && *seen_ == *stamp) return {};
    seen_.reset();
    open_.clear();
    if (!stamp) {
        // Said as a read: that is what the user's file could not be.
        if (missing(stamp.status())) return {};
        return Status::failure("read", path_, stamp.status().error());
    }
    // Stamped with the stat taken before the read, so a change made meanwhile shows.
    const Result<std::string> text = readRegularFile(path_);
    if (!text) return missing(text.status()) ? Status() : text.status();
    open_ = parseStillOpen(*text);
    seen_ = *stamp;
    return {};
}

}  // namespace tarrow::app
