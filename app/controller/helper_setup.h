#pragma once
// Installing, updating and removing the helper with one administrator prompt (the
// system's password dialog), and the log lines that say how it went.

#include <functional>
#include <string>

#include "app/model/log_fn.h"
#include "platform/admin_runner.h"
#include "platform/install_script.h"

namespace tarrow::app {

// How a root step is run: the script through the system's password dialog; and, when no
// dialog can come up because no polkit agent runs, where the script is left and how the
// user is told the command that runs it as root.
struct AdminSteps {
    std::function<Status(const std::string& script, platform::AdminAction action)> run =
        [](const std::string& script, platform::AdminAction action) {
            return platform::runAsAdmin(script, action);
        };
    std::string folder;  // the state folder
    std::function<void(const std::string& command)> noAgent;
};

// Runs the script as root; true when it ran and ended with status 0. Otherwise logs
// "admin step not done: " and the reason; without a polkit agent, also the command that
// does the same in a terminal (the script is written to the state folder for it).
bool asAdmin(const std::string& script, platform::AdminAction action, const AdminSteps& steps,
             const LogFn& log);

// Logs "helper installed" or "helper not installed".
bool installHelper(const platform::HelperInstall& install, const AdminSteps& steps,
                   const LogFn& log);
// Logs "helper removed" or "helper not removed".
bool removeHelper(const AdminSteps& steps, const LogFn& log);

}  // namespace tarrow::app
