#include "app/browser/blocking_status.h"

#include "common/hosts_section.h"

namespace tarrow {

BlockingStatus::BlockingStatus()
    : read_([](const std::string& path) -> std::optional<std::string> {
          auto hosts = readText(path);
          if (!hosts) return std::nullopt;
          return std::move(hosts->text);
      }) {}

const std::set<std::string>& BlockingStatus::names(const std::string& hostsPath) {
    const Result<FileStamp> stamp = fileStamp(hostsPath);
    if (!stamp) {
        seen_.reset();
        names_.clear();
        return names_;
    }
    const Seen now{hostsPath, *stamp};
    if (seen_ && *seen_ == now) return names_;
    // Stamped with the stat taken before the read, so a change made meanwhile shows.
    const std::optional<std::string> text = read_(hostsPath);
    names_ = text ? blockedNames(*text) : std::set<std::string>();
    seen_ = now;
    return names_;
}

}  // namespace tarrow
