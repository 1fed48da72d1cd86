#include "app/controller/helper_setup.h"

#include <unistd.h>

#include "common/file_io.h"
#include "platform/quoting.h"

namespace tarrow::app {

namespace {

std::string scriptName(platform::AdminAction action) {
    return action == platform::AdminAction::setUp ? "helper-set-up.sh" : "helper-removal.sh";
}

// Leaves the script in the state folder and answers the command that runs it as root,
// or "" (logged) when it cannot be written.
std::string rootCommand(const std::string& script, platform::AdminAction action,
                        const AdminSteps& steps, const LogFn& log) {
    const std::string path = steps.folder + "/" + scriptName(action);
    AtomicWrite how;
    how.mode = 0600;
    const Status written = writeAtomically(path, script + "\n", how);
    if (!written.ok()) {
        log("admin step not done: " + written.text());
        return {};
    }
    return "sudo sh " + platform::shellQuote(path);
}

}  // namespace

bool asAdmin(const std::string& script, platform::AdminAction action, const AdminSteps& steps,
             const LogFn& log) {
    const Status ran = steps.run(script, action);
    if (ran.ok()) return true;
    if (ran.detail() != platform::noAgentDetail || steps.folder.empty()) {
        log("admin step not done: " + ran.text());
        return false;
    }
    const std::string command = rootCommand(script, action, steps, log);
    log("admin step not done: " + std::string(platform::noAgentDetail) +
        (command.empty() ? "" : "; as root, run: " + command));
    if (steps.noAgent) steps.noAgent(command);
    return false;
}

bool installHelper(const platform::HelperInstall& install, const AdminSteps& steps,
                   const LogFn& log) {
    if (!platform::usableRequestPath(install.requestPath)) {
        log("state folder path not usable for the helper");
        return false;
    }
    // Asking for a password only to fail at the first copy helps nobody.
    if (::access(install.bundledHelper.c_str(), R_OK) != 0) {
        log("the helper is missing beside the app: " + install.bundledHelper);
        log("helper not installed");
        return false;
    }
    const bool ok =
        asAdmin(platform::installScript(install), platform::AdminAction::setUp, steps, log);
    log(ok ? "helper installed" : "helper not installed");
    return ok;
}

bool removeHelper(const AdminSteps& steps, const LogFn& log) {
    const bool ok = asAdmin(platform::removalScript(), platform::AdminAction::remove, steps, log);
    log(ok ? "helper removed" : "helper not removed");
    return ok;
}

}  // namespace tarrow::app
