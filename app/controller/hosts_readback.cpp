#include "app/controller/hosts_readback.h"

#include "common/file_io.h"
#include "common/hosts_section.h"

namespace tarrow::app {

namespace {

// A file changed within the file system's time granularity of the read may change again
// without a visible difference in its times; such a read is not trusted for the next tick.
bool settled(const timespec& stamp, const timespec& readAt) {
    return readAt.tv_sec - stamp.tv_sec >= 2;
}

}  // namespace

HostsReadBack::HostsReadBack(std::string path, std::function<timespec()> wallClock)
    : path_(std::move(path)), wallClock_(std::move(wallClock)) {
    if (!wallClock_) {
        wallClock_ = [] {
            timespec now{};
            ::clock_gettime(CLOCK_REALTIME, &now);
            return now;
        };
    }
}

const std::set<std::string>& HostsReadBack::blocked() {
    const Result<FileStamp> now = fileStamp(path_);
    if (!now) {
        seen_.reset();
        names_.clear();
        readLastTime_ = true;
        return names_;
    }
    readLastTime_ = !(seen_ && *seen_ == *now);
    if (!readLastTime_) return names_;

    const timespec readAt = wallClock_();
    // The bytes as they are: names are ASCII, so the file's encoding does not matter here
    // and checking it would cost a quarter of the read.
    Result<std::string> hosts = readRegularFile(path_);
    names_ = hosts ? blockedNames(*hosts) : std::set<std::string>{};
    if (hosts && settled(now->modified, readAt) && settled(now->changed, readAt)) {
        seen_ = *now;
    } else {
        seen_.reset();
    }
    return names_;
}

}  // namespace tarrow::app
