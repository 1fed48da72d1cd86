#pragma once
// Installing, updating and removing the helper with one administrator prompt, and the
// log lines that say how it went.

#include <functional>
#include <string>

#include "app/model/log_fn.h"
#include "platform/admin_runner.h"
#include "platform/install_script.h"

namespace tarrow::app {

// How a root step is run: a question shown first (false: the user declined), then the
// script through the system's password dialog.
struct AdminSteps {
    std::function<bool(const std::string& prompt)> confirm;
    std::function<Status(const std::string& script)> run = [](const std::string& script) {
        return platform::runAsAdmin(script);
    };
};

// Runs the script as root; true when it ran and ended with status 0. Otherwise logs
// "admin step not done: " and the reason.
bool asAdmin(const std::string& script, const std::string& prompt, const AdminSteps& steps,
             const LogFn& log);

// Logs "helper installed" or "helper not installed".
bool installHelper(const platform::HelperInstall& install, const AdminSteps& steps,
                   const LogFn& log);
// Logs "helper removed" or "helper not removed".
bool removeHelper(const AdminSteps& steps, const LogFn& log);

}  // namespace tarrow::app
