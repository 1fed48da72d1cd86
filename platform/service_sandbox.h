#pragma once
// What the helper's service would not see of the user's files. The unit gives the
// helper a private /tmp and /var/tmp and a private /dev; a request file in one of them
// (a state folder under /tmp, for example) would be invisible to it, blocking would
// never apply and a repair would not help. The unit shares those folders instead when
// the request file lies there.

#include <string>

namespace tarrow::platform {

struct ServiceView {
    bool privateTmp = true;      // the service gets its own /tmp and /var/tmp
    bool privateDevices = true;  // the service gets its own /dev (and /dev/shm)
};

// The view under which the service sees `requestPath`: symbolic links in the part of
// the path that exists are resolved first, as the service would follow them.
ServiceView serviceViewFor(const std::string& requestPath);

// The path with symbolic links resolved in its longest existing leading part.
std::string resolvedLeadingPart(const std::string& path);

}  // namespace tarrow::platform
