#pragma once
// Starting the app at login, as the General tab and the start-up see it. The platform
// supplies how (an autostart entry, a login item); this says what is logged.

#include <functional>
#include <string>
#include <string_view>

#include "app/model/log_fn.h"
#include "common/status.h"

namespace tarrow {

struct LoginItem {
    std::function<bool()> enabled;       // read from the system each time
    std::function<Status(bool on)> set;  // switch it on or off

    bool available() const { return enabled && set; }
};

// After `item.set(on)` gave `done`: logs "start at login: on" or "off", or "start at login
// failed: " and why, and returns the state read back from the system. (The settings
// window switches on a worker thread, so that a slow disk does not stall it, and comes
// back here.)
bool loginSwitched(const LoginItem& item, bool on, const Status& done, const LogFn& log);

// Start-up when a per-user service (`agent`, as `agentName` gives it) started the app: a
// login item as well would start it twice, so it goes; the outcome is logged. Nothing
// happens while the login item is off.
void dropLoginItemForAgent(const LoginItem& item, std::string_view agent, const LogFn& log);

}  // namespace tarrow
