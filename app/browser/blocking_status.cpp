#include "app/browser/blocking_status.h"

#include "common/hosts_section.h"

namespace tarrow {

namespace {

bool sameTime(timespec a, timespec b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

bool BlockingStatus::Seen::operator==(const Seen& other) const {
    return path == other.path && device == other.device && inode == other.inode &&
           size == other.size && sameTime(modified, other.modified) &&
           sameTime(changed, other.changed);
}

BlockingStatus::BlockingStatus()
    : read_([](const std::string& path) -> std::optional<std::string> {
          auto hosts = readText(path);
          if (!hosts) return std::nullopt;
          return std::move(hosts->text);
      }) {}

bool BlockingStatus::blocking(const std::string& hostsPath) {
    struct stat st {};
    if (::stat(hostsPath.c_str(), &st) != 0) {
        seen_.reset();
        blocking_ = false;
        return false;
    }
    const Seen now{hostsPath, st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
    if (seen_ && *seen_ == now) return blocking_;
    // Stamped with the stat taken before the read, so a change made meanwhile shows.
    const std::optional<std::string> text = read_(hostsPath);
    blocking_ = text && !blockedNames(*text).empty();
    seen_ = now;
    return blocking_;
}

}  // namespace tarrow
