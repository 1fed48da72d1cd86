#pragma once
// Notices that the system's time zone changed while the app runs: TZ, or what the zone
// file (/etc/localtime) is, a link the system settings replace or a file copied over it.
// One lstat, one stat and one readlink per look, cheap enough for every tick.

#include <string>

namespace tarrow::app {

class ZoneWatch {
  public:
    explicit ZoneWatch(std::string zoneFile = "/etc/localtime");

    // True when the zone changed since the last call (the first call only looks). On a
    // change the C library's zone is read again too (tzset), for the log's time stamps.
    bool changed();

  private:
    std::string look() const;

    std::string zoneFile_;
    std::string last_;
    bool looked_ = false;
};

}  // namespace tarrow::app
