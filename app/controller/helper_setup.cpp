#include "app/controller/helper_setup.h"

#include <unistd.h>

namespace tarrow::app {

bool asAdmin(const std::string& script, const std::string& prompt, const AdminSteps& steps,
             const LogFn& log) {
    if (steps.confirm && !steps.confirm(prompt)) {
        log("admin step not done: cancelled");
        return false;
    }
    const Status ran = steps.run(script);
    if (!ran.ok()) log("admin step not done: " + ran.text());
    return ran.ok();
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
        asAdmin(platform::installScript(install), platform::installPrompt(), steps, log);
    log(ok ? "helper installed" : "helper not installed");
    return ok;
}

bool removeHelper(const AdminSteps& steps, const LogFn& log) {
    const bool ok = asAdmin(platform::removalScript(), platform::removalPrompt(), steps, log);
    log(ok ? "helper removed" : "helper not removed");
    return ok;
}

}  // namespace tarrow::app
