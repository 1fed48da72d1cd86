#include "app/controller/hosts_readback.h"

#include <sys/stat.h>

#include "common/file_io.h"
#include "common/hosts_section.h"

namespace tarrow::app {

namespace {

bool sameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// A file changed within the file system's time granularity of the read may change again
// without a visible difference in its times; such a read is not trusted for the next tick.
bool settled(const timespec& stamp, const timespec& readAt) {
    return readAt.tv_sec - stamp.tv_sec >= 2;
}

}  // namespace

bool HostsReadBack::Identity::operator==(const Identity& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           sameTime(modified, other.modified) && sameTime(changed, other.changed);
}

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
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0) {
        seen_.reset();
        names_.clear();
        readLastTime_ = true;
        return names_;
    }
    Identity now{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
    readLastTime_ = !(seen_ && *seen_ == now);
    if (!readLastTime_) return names_;

    const timespec readAt = wallClock_();
    // The bytes as they are: names are ASCII, so the file's encoding does not matter here
    // and checking it would cost a quarter of the read.
    Result<std::string> hosts = readRegularFile(path_);
    names_ = hosts ? blockedNames(*hosts) : std::set<std::string>{};
    if (hosts && settled(st.st_mtim, readAt) && settled(st.st_ctim, readAt)) {
        seen_ = now;
    } else {
        seen_.reset();
    }
    return names_;
}

}  // namespace tarrow::app
