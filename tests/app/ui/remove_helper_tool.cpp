// Clicks "Remove Helper…" in the General tab of the real settings window, wired to the
// real controller and the real removal: no question of the app's own comes before the
// password (a modal box would stop the click here), the removal script runs through the
// pkexec stand-in given, then the tick. Prints the log and the helper state before and
// after.
//
// It works on the system paths of wherever it runs: remove_helper_run.sh runs it inside
// throw-away namespaces only.
//
// Usage: remove_helper_tool <state folder> <pkexec stand-in> <helper digest>

#include <QApplication>
#include <QPushButton>
#include <cstdio>
#include <string>

#include "app/controller/helper_setup.h"
#include "app/controller/tarrow.h"
#include "app/ui/general_view.h"
#include "app/ui/settings.h"
#include "app/ui/settings_window.h"
#include "app/ui/setup_box.h"
#include "app/ui/tray_actions.h"
#include "platform/admin_runner.h"
#include "tests/support/qt_app.h"
#include "tests/support/rig.h"

namespace {

using namespace tarrow;

const char* stateName(Helper helper) {
    const char* names[] = {"missing", "outdated", "stuck", "working"};
    return names[int(helper)];
}

void print(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <state folder> <pkexec stand-in> <helper digest>\n",
                     argv[0]);
        return 2;
    }
    const std::string folder = argv[1], pkexec = argv[2], digest = argv[3];
    test::ensureQtApp();

    const LogFn log = [](std::string_view line) { print("log: " + std::string(line)); };
    Store store(folder, log);
    test::FakeItem item;
    app::ControllerHooks hooks;
    hooks.log = log;
    app::Tarrow tarrow(store, app::systemPaths(folder, digest), item, Calendar::current(), hooks);
    tarrow.tick();
    print(std::string("before: ") + stateName(store.helper()));

    app::MenuActions actions = ui::trayActions(tarrow);
    // The app's own removal, with pkexec stood in (the test machine has no polkit agent).
    app::AdminSteps steps;
    steps.run = [pkexec](const std::string& script, platform::AdminAction action) {
        return platform::runAsAdmin(script, action, pkexec);
    };
    actions.removeHelper = [steps, log] { return app::removeHelper(steps, log); };
    ui::Settings settings(tarrow, actions);
    settings.show(Tab::general);

    ui::SetupBox* box = settings.window().general()->setupBox();
    if (!box->isVisible() || !box->removeButton()->isVisible()) {
        print("no Remove Helper button");
        return 1;
    }
    print("button: " + box->removeButton()->text().toStdString());
    box->removeButton()->click();
    print(std::string("after: ") + stateName(store.helper()));
    return 0;
}
