#pragma once
// The files that make the system start the helper at boot and keep it running: the
// launch daemon property list (macOS) and the systemd service unit (Linux). Both
// start `helper --daemon <request file> --uid <uid>`.

#include <sys/types.h>

#include <string>

namespace tarrow::platform {

// The launch daemon's property list, with the request path escaped for XML. No line
// break after the last line.
std::string daemonPlist(const std::string& requestPath, uid_t uid);

// Where the unit expects the system's files; `root` prefixes every one of them so that
// the whole installation can be exercised in a scratch folder ("" for the real system).
struct UnitPlaces {
    std::string helperPath;         // the executable started
    std::string logPath;            // its standard error is appended here
    std::string hostsFolder;        // the folder of the hosts file (replaced by rename)
    std::string flatpakExtensions;  // where a flatpak Firefox's policies folder lies
};
UnitPlaces unitPlaces(const std::string& root);

// The systemd service unit: started at boot, restarted always, confined to what the
// helper needs (its hosts folder, its state folder, loopback listeners, reading the
// user's request file).
std::string serviceUnit(const UnitPlaces& places, const std::string& requestPath, uid_t uid);

}  // namespace tarrow::platform
