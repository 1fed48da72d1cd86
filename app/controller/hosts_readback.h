#pragma once
// Reading the hosts file back on every tick to see which names its section blocks.
// A large hosts file is read and parsed again only when it may have changed: its
// identity, times and size are compared with those of the last read first.

#include <ctime>
#include <functional>
#include <optional>
#include <set>
#include <string>

#include "common/file_stamp.h"

namespace tarrow::app {

class HostsReadBack {
  public:
    // wallClock gives the current real time (tests pass their own).
    explicit HostsReadBack(std::string path, std::function<timespec()> wallClock = {});

    // The names of the file's section; empty when the file cannot be read.
    const std::set<std::string>& blocked();

    // Whether the last call read the file (false: the previous result still held).
    bool readLastTime() const { return readLastTime_; }

    const std::string& path() const { return path_; }

  private:
    std::string path_;
    std::function<timespec()> wallClock_;
    std::optional<FileStamp> seen_;  // set only when the cached names can be trusted
    std::set<std::string> names_;
    bool readLastTime_ = false;
};

}  // namespace tarrow::app
