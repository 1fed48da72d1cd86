#include "app/model/login_item.h"

#include "platform/paths.h"

namespace tarrow {

bool loginSwitched(const LoginItem& item, bool on, const Status& done, const LogFn& log) {
    if (done.ok())
        log(std::string("start at login: ") + (on ? "on" : "off"));
    else
        log("start at login failed: " + done.text());
    return item.enabled();
}

void dropLoginItemForAgent(const LoginItem& item, std::string_view agent, const LogFn& log) {
    if (!item.available() || !item.enabled()) return;
    const Status done = item.set(false);
    if (done.ok())
        log("login item removed, the " + std::string(agent) + " starts " + std::string(appName));
    else
        log("could not remove the login item: " + done.text());
}

}  // namespace tarrow
