#pragma once
// The per-user service that started this process, when one did. Such a service starts
// the app at every login on its own, so the app's own start at login is locked then.

#include <optional>
#include <string>
#include <string_view>

namespace tarrow::platform {

// macOS: the launch agent de.brightloom.tarrow (XPC_SERVICE_NAME names it). Elsewhere: the
// systemd user unit that started this process: $INVOCATION_ID set, the parent is the
// user's service manager ($MANAGERPID) and the unit is taken from /proc/self/cgroup.
std::optional<std::string> startingAgent();

// The unit in a /proc/<pid>/cgroup text when it is a service of a user's service manager
// (…/user@1000.service/…/tarrow.service). Scopes, system services and the units a desktop
// makes for the applications it launches or autostarts (app-….service) give none.
std::optional<std::string> userServiceIn(std::string_view cgroup);

}  // namespace tarrow::platform
