#include "app/browser/blocking_status.h"

#include "common/hosts_section.h"

namespace tarrow {

BlockingStatus::BlockingStatus()
    : read_([](const std::string& path) -> std::optional<std::string> {
          auto hosts = readText(path);
          if (!hosts) return std::nullopt;
          return std::move(hosts->text);
      }) {}

bool BlockingStatus::blocking(const std::string& hostsPath) {
    const Result<FileStamp> stamp = fileStamp(hostsPath);
    if (!stamp) {
        seen_.reset();
        blocking_ = false;
        return false;
    }
    const Seen now{hostsPath, *stamp};
    if (seen_ && *seen_ == now) return blocking_;
    // Stamped with the stat taken before the read, so a change made meanwhile shows.
    const std::optional<std::string> text = read_(hostsPath);
    blocking_ = text && !blockedNames(*text).empty();
    seen_ = now;
    return blocking_;
}

}  // namespace tarrow
