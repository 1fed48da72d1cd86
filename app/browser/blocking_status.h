#pragma once
// Which names the hosts file's section blocks, as the page server's /status and
// /blocking tell it. The file is read again only when a stat shows that it changed (another file,
// another size, another modification or change time), so a page polling /status costs
// a stat, whatever the size of the hosts file.
//
// Not thread-safe: one instance serves one server thread.

#include <functional>
#include <optional>
#include <set>
#include <string>

#include "common/file_stamp.h"

namespace tarrow {

class BlockingStatus {
  public:
    // Reads the hosts file's text; none when it cannot be read.
    using Reader = std::function<std::optional<std::string>(const std::string& path)>;

    BlockingStatus();
    explicit BlockingStatus(Reader read) : read_(std::move(read)) {}

    // True when the section at `hostsPath` holds any name; an unreadable file blocks nothing.
    bool blocking(const std::string& hostsPath) { return !names(hostsPath).empty(); }
    // The names the section blocks; none when the file cannot be read.
    const std::set<std::string>& names(const std::string& hostsPath);

  private:
    struct Seen {
        std::string path;
        FileStamp stamp;
        bool operator==(const Seen&) const = default;
    };

    Reader read_;
    std::optional<Seen> seen_;
    std::set<std::string> names_;
};

}  // namespace tarrow
