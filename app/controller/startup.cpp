#include "app/controller/startup.h"

#include <QApplication>
#include <QThreadPool>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "app/browser/browser_integration.h"
#include "app/browser/page_test_mode.h"
#include "app/browser/suggest_mode.h"
#include "app/browser/suggestion_loader.h"
#include "app/controller/bundled_helper.h"
#include "app/controller/log.h"
#include "app/controller/modes.h"
#include "app/controller/selftest.h"
#include "app/controller/tarrow.h"
#include "app/controller/zone_watch.h"
#include "app/model/migration.h"
#include "app/model/state_folder.h"
#include "app/model/store.h"
#include "app/ui/brand.h"
#include "app/ui/mark.h"
#include "app/ui/resources.h"
#include "app/ui/tray_actions.h"
#include "app/ui/tray_item.h"
#include "app/ui/tray_menu.h"
#include "app/ui/tray_modes.h"
#include "platform/broken_pipe.h"
#include "platform/desktop/wake_watch.h"
#include "platform/paths.h"
#include "platform/single_instance.h"
#include "platform/termination.h"

#ifndef TARROW_VERSION
#define TARROW_VERSION ""
#endif

namespace tarrow::app {

namespace {

constexpr int tickMilliseconds = 5000;
constexpr const char* agentLabel = "de.brightloom.tarrow";

std::string appVersion() {
    return std::strlen(TARROW_VERSION) > 0 ? TARROW_VERSION : "dev";
}

bool startedByAgent() {
    const char* label = std::getenv("XPC_SERVICE_NAME");
    return label && std::strcmp(label, agentLabel) == 0;
}

// Without any display Qt would abort; the blocking itself needs no display, so run on
// without a tray instead.
void chooseOffscreenWithoutDisplay() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    if (set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY")) return;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    log("no display found, running without a tray icon");
}

// Modes that other parts of the app provide and this build does not have yet.
int notBuilt(Mode mode) {
    std::fprintf(stderr, "%s is not available in this build\n", modeFlag(mode));
    return 2;
}

// One running copy; false when another one runs and this one must quit.
bool claimOnlyCopy(const std::string& folder) {
    platform::Instance instance = platform::claimInstance(platform::instanceLockPath(folder));
    if (auto* running = std::get_if<platform::InstanceRunning>(&instance)) {
        log(std::string(appName) + " is already running (pid " + std::to_string(running->pid) +
            "), this copy quits");
        return false;
    }
    if (auto* unknown = std::get_if<platform::InstanceUnknown>(&instance)) {
        log(std::string("cannot check for another running copy: ") + std::strerror(unknown->error));
    }
    return true;  // the lock's descriptor stays open until the process ends
}

int runApp(int argc, char** argv, const std::string& folder) {
    chooseOffscreenWithoutDisplay();
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QString::fromUtf8(appName.data(), appName.size()));
    QApplication::setApplicationVersion(QString::fromStdString(appVersion()));
    ui::registerBrandFont();

    Store store(folder, [](std::string_view message) { log(message); });
    store.readsHistory = true;
    // History is read on a pool thread; the result comes back through the event loop.
    installSuggestionLoader(
        store,
        {[](std::function<void()> job) { QThreadPool::globalInstance()->start(std::move(job)); },
         [&application](std::function<void()> job) {
             QMetaObject::invokeMethod(&application, std::move(job), Qt::QueuedConnection);
         },
         {},
         {},
         [](std::string_view message) { log(message); }});
    ui::TrayItem item(ui::markIcon);
    ControllerHooks hooks;
    hooks.post = [&application](std::function<void()> work) {
        QTimer::singleShot(0, &application, std::move(work));
    };
    hooks.exit = [](int status) { QCoreApplication::exit(status); };
    // The browser side needs the controller; until it exists the hooks do nothing.
    std::unique_ptr<BrowserIntegration> browsers;
    hooks.watchHits = [&browsers] {
        if (browsers) browsers->watchHits();
    };
    hooks.sweepTabs = [&browsers] {
        if (browsers) browsers->sweepTabs();
    };
    hooks.newCalendar = [zone = std::make_shared<ZoneWatch>()]() -> std::optional<Calendar> {
        if (!zone->changed()) return std::nullopt;
        return Calendar::current();
    };
    Tarrow tarrow(store, systemPaths(folder, bundledHelperSHA256), item, Calendar::current(),
                  std::move(hooks));
    browsers = std::make_unique<BrowserIntegration>(
        tarrow, IntegrationSetup{std::string(hitsPath), ui::resourcesFolder().toStdString(), {}});
    MenuActions menuActions = ui::trayActions(tarrow);
    menuActions.refreshBrowsers = [&browsers] { browsers->refreshBrowsers(); };
    ui::TrayMenu menu(tarrow, std::move(menuActions));
    item.setMenu(menu.menu());

    if (!platform::emptyRequestOnSignals(tarrow.paths().request)) {
        log("cannot prepare the signal handler; a signal will not unblock");
    }
    log(std::string(appName) + " " + appVersion() + " started, state in " + folder +
        (startedByAgent() ? " (LaunchAgent)" : ""));
    QObject::connect(&application, &QCoreApplication::aboutToQuit,
                     [&tarrow] { tarrow.emptyRequest(); });

    browsers->start();
    tarrow.tick();
    // A schedule that started while the machine slept blocks as soon as it wakes.
    platform::WakeWatch wake([&tarrow] { tarrow.tick(); });
    if (!wake.listening()) log("cannot watch for wake-ups: " + wake.problem().toStdString());
    QTimer ticker;
    ticker.setTimerType(Qt::CoarseTimer);
    ticker.setInterval(tickMilliseconds);
    QObject::connect(&ticker, &QTimer::timeout, [&tarrow] { tarrow.tick(); });
    ticker.start();
    return application.exec();
}

}  // namespace

int run(int argc, char** argv) {
    // A closed standard error must not end the app in the middle of a log line.
    platform::ignoreBrokenPipes();
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    Invocation invocation = chooseMode(args);
    if (invocation.mode == Mode::version) {
        std::printf("%s %s\n", std::string(appName).c_str(), appVersion().c_str());
        return 0;
    }
    if (invocation.mode == Mode::selftest) return runSelftest(builtInChecks(), stdout);

    const std::string& stateFolder = folder();
    std::error_code ignored;
    std::filesystem::create_directories(stateFolder, ignored);
    setLogFile(fileIn(stateFolder, "tarrow.log"));
    migrate(stateFolder, [](std::string_view message) { log(message); });

    if (invocation.mode == Mode::icons) return ui::writeIcons(argc, argv, invocation.folder);
    if (invocation.mode == Mode::menu)
        return ui::printMenu(argc, argv, stateFolder, bundledHelperSHA256);
    if (invocation.mode == Mode::pageTest) return runPageTest(argc, argv);
    if (invocation.mode == Mode::suggest)
        return printSuggestions(stdout, [](std::string_view message) { log(message); });
    if (invocation.mode != Mode::app) return notBuilt(invocation.mode);
    if (!claimOnlyCopy(stateFolder)) return 0;
    return runApp(argc, argv, stateFolder);
}

}  // namespace tarrow::app
