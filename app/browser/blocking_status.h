#pragma once
// Whether the hosts file's section blocks any name, as the page server's /status tells
// it. The file is read again only when a stat shows that it changed (another file,
// another size, another modification or change time), so a page polling /status costs
// a stat, whatever the size of the hosts file.
//
// Not thread-safe: one instance serves one server thread.

#include <sys/stat.h>

#include <functional>
#include <optional>
#include <string>

namespace tarrow {

class BlockingStatus {
  public:
    // Reads the hosts file's text; none when it cannot be read.
    using Reader = std::function<std::optional<std::string>(const std::string& path)>;

    BlockingStatus();
    explicit BlockingStatus(Reader read) : read_(std::move(read)) {}

    // True when the section at `hostsPath` holds any name; an unreadable file blocks nothing.
    bool blocking(const std::string& hostsPath);

  private:
    struct Seen {
        std::string path;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{}, changed{};
        bool operator==(const Seen& other) const;
    };

    Reader read_;
    std::optional<Seen> seen_;
    bool blocking_ = false;
};

}  // namespace tarrow
