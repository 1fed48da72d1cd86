// Drives the install and removal scripts for the shell tests:
//   unit <root> <request> <uid>                                 prints the service unit
//   install <pkexec> <root> <bundled> <digest> <request> <uid>  runs the install script
//   remove <pkexec> <root>                                      runs the removal script
// The scripts run through the real admin runner; <pkexec> is a stand-in for it.

#include <cstdio>
#include <string>
#include <vector>

#include "platform/admin_runner.h"
#include "platform/install_script.h"
#include "platform/service_files.h"

using namespace tarrow::platform;

namespace {

int report(const tarrow::Status& status) {
    if (status.ok()) {
        std::puts("ok");
        return 0;
    }
    std::printf("failed: %s\n", status.text().c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() == 4 && a[0] == "unit") {
        std::fputs(serviceUnit(unitPlaces(a[1]), a[2], std::stoul(a[3])).c_str(), stdout);
        return 0;
    }
    if (a.size() == 7 && a[0] == "install") {
        HelperInstall in{a[3], a[4], a[5], static_cast<uid_t>(std::stoul(a[6]))};
        return report(runAsAdmin(linuxInstallScript(in, a[2]), AdminAction::setUp, a[1]));
    }
    if (a.size() == 3 && a[0] == "remove")
        return report(runAsAdmin(linuxRemovalScript(a[2]), AdminAction::remove, a[1]));
    std::fputs("usage: install_script_tool unit|install|remove ...\n", stderr);
    return 64;
}
