#include "app/startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "app/browser/suggest_mode.h"
#include "app/builtin_checks.h"
#include "app/bundled_helper.h"
#include "app/controller/attempts_mode.h"
#include "app/controller/command_sender.h"
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
#include "platform/desktop/app_activation.h"
#include "platform/paths.h"
#include "platform/single_instance.h"

#ifndef TARROW_VERSION
#define TARROW_VERSION ""
#endif

namespace tarrow::app {

namespace {

// Brings the running copy's settings to the front: over the session bus as desktops do,
// otherwise through the command file.
int activateRunningCopy(const std::string& folder, pid_t pid) {
    if (platform::activateRunning(QString::fromLatin1(appId.data(), appId.size()), pid) ==
        platform::Reached::activated)
        return 0;
    const SendResult sent = sendCommand(
        {folder, platform::instanceLockPath(folder), std::chrono::seconds(2), false}, activateWord);
    switch (sent.sent) {
        case Sent::answered:
            return 0;
        case Sent::noAnswer:  // still starting: its first pass takes the command
            log("the running " + std::string(appName) +
                (pid > 0 ? " (pid " + std::to_string(pid) + ")" : "") +
                " has not taken the request to show its settings yet; it will");
            return 0;
        case Sent::notRunning:  // ended in the meantime
            log(std::string(appName) + " has just quit; start it again");
            return 1;
        case Sent::failed:
            log("cannot reach the running " + std::string(appName) + ": " + sent.text);
            return 1;
    }
    return 1;
}

// One running copy. A second one shows the first and ends with the returned status.
std::optional<int> claimOnlyCopy(const std::string& folder) {
    Result<platform::Instance> instance =
        platform::claimInstance(platform::instanceLockPath(folder));
    if (!instance) {
        log("cannot check for another running copy: " + instance.status().text());
        return std::nullopt;
    }
    if (auto* running = std::get_if<platform::InstanceRunning>(&*instance)) {
        return activateRunningCopy(folder, running->pid);
    }
    return std::nullopt;  // the lock's descriptor stays open until the process ends
}

// A command for the running copy, given on the command line.
int runShellCommand(const std::vector<std::string>& args, const std::string& folder) {
    const std::optional<std::string> text = shellCommand(args);
    if (!text) {
        std::fputs(commandUsage(), stderr);
        return 2;
    }
    const SendResult sent = sendCommand({folder, platform::instanceLockPath(folder)}, *text);
    switch (sent.sent) {
        case Sent::answered:
            std::printf("%s\n", sent.text.c_str());
            return 0;
        case Sent::notRunning:
            std::fprintf(stderr, "%s is not running.\n", std::string(appName).c_str());
            return 1;
        case Sent::failed:
            std::fprintf(stderr, "Cannot give %s the command: %s\n", std::string(appName).c_str(),
                         sent.text.c_str());
            return 1;
        case Sent::noAnswer:
            std::fprintf(stderr, "%s did not take the command within 2 seconds.\n",
                         std::string(appName).c_str());
            return 1;
    }
    return 1;
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
    // Talks to the running copy only: no log of its own, no folder made.
    if (invocation.mode == Mode::command) return runShellCommand(args, stateFolder);
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
            if (std::optional<int> status = claimOnlyCopy(stateFolder)) return *status;
            if (offscreenWithoutDisplay()) log("no display found, running without a tray icon");
            return runApp(argc, argv, stateFolder);
        case Mode::version:
        case Mode::help:
        case Mode::selftest:
        case Mode::command:
            break;  // answered above
    }
    return 0;
}

}  // namespace tarrow::app
