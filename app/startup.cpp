#include "app/startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "app/browser/suggest_mode.h"
#include "app/builtin_checks.h"
#include "app/bundled_helper.h"
#include "app/controller/attempts_mode.h"
#include "app/controller/log.h"
#include "app/controller/modes.h"
#include "app/menu_mode.h"
#include "app/model/migration.h"
#include "app/model/state_folder.h"
#include "app/page_test_mode.h"
#include "app/render_mode.h"
#include "app/run_app.h"
#include "app/ui/icons_mode.h"
#include "platform/broken_pipe.h"
#include "platform/paths.h"
#include "platform/single_instance.h"

#ifndef TARROW_VERSION
#define TARROW_VERSION ""
#endif

namespace tarrow::app {

namespace {

// One running copy; false when another one runs and this one must quit.
bool claimOnlyCopy(const std::string& folder) {
    Result<platform::Instance> instance =
        platform::claimInstance(platform::instanceLockPath(folder));
    if (!instance) {
        log("cannot check for another running copy: " + instance.status().text());
        return true;
    }
    if (auto* running = std::get_if<platform::InstanceRunning>(&*instance)) {
        log(std::string(appName) + " is already running (pid " + std::to_string(running->pid) +
            "), this copy quits");
        return false;
    }
    return true;  // the lock's descriptor stays open until the process ends
}

}  // namespace

std::string appVersion() {
    return std::strlen(TARROW_VERSION) > 0 ? TARROW_VERSION : "dev";
}

bool offscreenWithoutDisplay() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    if (set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY")) return false;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return true;
}

int run(int argc, char** argv) {
    // A closed standard error must not end the app in the middle of a log line.
    platform::ignoreBrokenPipes();
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    Invocation invocation = chooseMode(args);
    if (invocation.mode == Mode::version) {
        std::printf("%s %s\n", std::string(appName).c_str(), appVersion().c_str());
        return 0;
    }
    if (invocation.mode == Mode::help) {
        std::fputs(helpText(), stdout);
        return 0;
    }
    if (invocation.mode == Mode::selftest) return runSelftest(builtInChecks(), stdout);

    const std::string& stateFolder = folder();
    std::error_code ignored;
    std::filesystem::create_directories(stateFolder, ignored);
    setLogFile(fileIn(stateFolder, "tarrow.log"));
    migrate(stateFolder, [](std::string_view message) { log(message); });

    switch (invocation.mode) {
        case Mode::icons:
            offscreenWithoutDisplay();
            return ui::writeIcons(argc, argv, invocation.folder);
        case Mode::render:
            prepareRenderPlatform();
            return renderPictures(argc, argv, invocation.folder, stateFolder, args);
        case Mode::menu:
            offscreenWithoutDisplay();
            return printMenu(argc, argv, stateFolder, bundledHelperSHA256);
        case Mode::pageTest:
            return runPageTest(argc, argv);
        case Mode::suggest:
            return printSuggestions(stdout, [](std::string_view message) { log(message); });
        case Mode::attempts:
            return printAttempts(
                stdout, stderr, stateFolder,
                std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now()),
                Calendar::current());
        case Mode::app:
            if (!claimOnlyCopy(stateFolder)) return 0;
            if (offscreenWithoutDisplay()) log("no display found, running without a tray icon");
            return runApp(argc, argv, stateFolder);
        case Mode::version:
        case Mode::help:
        case Mode::selftest:
            break;  // answered above
    }
    return 0;
}

}  // namespace tarrow::app
