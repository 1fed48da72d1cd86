#include "app/controller/zone_watch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>

namespace tarrow::app {

ZoneWatch::ZoneWatch(std::string zoneFile) : zoneFile_(std::move(zoneFile)) {}

// Everything that names the zone, as one text: the variable, the link and its target,
// and the identity and time of the file in the end.
std::string ZoneWatch::look() const {
    std::string seen;
    if (const char* tz = std::getenv("TZ")) seen = std::string("TZ=") + tz;
    seen += '\n';
    struct stat st {};
    if (::lstat(zoneFile_.c_str(), &st) != 0) return seen + "none";
    if (S_ISLNK(st.st_mode)) {
        char target[4096];
        const ssize_t n = ::readlink(zoneFile_.c_str(), target, sizeof target);
        if (n > 0) seen.append(target, size_t(n));
        seen += '\n';
        if (::stat(zoneFile_.c_str(), &st) != 0) return seen + "dangling";
    }
    return seen + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + ":" +
           std::to_string(st.st_size) + ":" + std::to_string(st.st_mtim.tv_sec) + "." +
           std::to_string(st.st_mtim.tv_nsec);
}

bool ZoneWatch::changed() {
    std::string now = look();
    const bool change = looked_ && now != last_;
    looked_ = true;
    last_ = std::move(now);
    if (change) ::tzset();
    return change;
}

}  // namespace tarrow::app
