#include "app/run_app.h"

#include <QApplication>
#include <QThreadPool>
#include <QTimer>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "app/autostart_item.h"
#include "app/browser/browser_integration.h"
#include "app/browser/suggestion_loader.h"
#include "app/bundled_helper.h"
#include "app/controller/command_sender.h"
#include "app/controller/helper_identity.h"
#include "app/controller/log.h"
#include "app/controller/tarrow.h"
#include "app/controller/zone_watch.h"
#include "app/model/attempts_texts.h"
#include "app/model/general_texts.h"
#include "app/model/login_item.h"
#include "app/model/store.h"
#include "app/model/texts.h"
#include "app/startup.h"
#include "app/ui/appearance.h"
#include "app/ui/brand.h"
#include "app/ui/mark.h"
#include "app/ui/notice_panel.h"
#include "app/ui/resources.h"
#include "app/ui/settings.h"
#include "app/ui/tray_actions.h"
#include "app/ui/tray_item.h"
#include "app/ui/tray_menu.h"
#include "common/file_writer.h"
#include "platform/autostart.h"
#include "platform/browser_extension.h"
#include "platform/desktop/app_activation.h"
#include "platform/desktop/entry_watch.h"
#include "platform/desktop/reduced_motion.h"
#include "platform/desktop/wake_watch.h"
#include "platform/paths.h"
#include "platform/starting_agent.h"
#include "platform/termination.h"

namespace tarrow::app {

namespace {

constexpr int tickMilliseconds = 5000;
// How long quitting waits for a save under way (a hung network home folder).
constexpr std::chrono::milliseconds quitWait{2000};

void logLine(std::string_view message) {
    log(message);
}

// History is read on a pool thread; the result comes back through the event loop.
void loadSuggestionsInBackground(Store& store, QApplication& application) {
    installSuggestionLoader(
        store,
        {[](std::function<void()> job) { QThreadPool::globalInstance()->start(std::move(job)); },
         [&application](std::function<void()> job) {
             QMetaObject::invokeMethod(&application, std::move(job), Qt::QueuedConnection);
         },
         {},
         {},
         logLine});
}

// The browser side as the controller and the command file see it, and the card it shows.
struct Browsers {
    std::unique_ptr<BrowserIntegration> integration;
    std::unique_ptr<ui::NoticePanel> card;
    const platform::MotionWatch* motion = nullptr;

    void make(Tarrow& tarrow, const ui::TrayItem& item) {
        BrowserNeeds needs{
            .log = logLine,
            .blockingNames = [&tarrow]() -> const std::set<std::string>& {
                return tarrow.blockingNames();
            },
            .untilLine =
                [&tarrow] {
                    return untilLine(tarrow.evaluation(), tarrow.now(), tarrow.calendar());
                },
            .cardLine =
                [&tarrow] {
                    return cardLine(tarrow.evaluation(), tarrow.now(), tarrow.calendar());
                },
            .showCard =
                [this, &item](const std::string& name, const std::string& line,
                              const std::string& tries) {
                    if (!card) card = std::make_unique<ui::NoticePanel>();
                    card->setReducedMotion(motion && motion->reduced());
                    card->setTray(item.trayFound());
                    card->show(QString::fromStdString(name), QString::fromStdString(line),
                               QString::fromStdString(tries));
                },
            .tried = [&tarrow](
                         const std::string& domain,
                         Instant at) { tarrow.attempts().count(domain, at, tarrow.calendar()); },
            .triesLine =
                [&tarrow](const std::string& domain) {
                    return todayTryLine(
                        tarrow.attempts().today(domain, tarrow.now(), tarrow.calendar()));
                },
            .trayFound = [&item] { return item.trayFound(); },
        };
        // The extension that ships beside the helper is the one the page server answers.
        const auto extension = platform::extensionBeside(app::bundledHelper());
        integration = std::make_unique<BrowserIntegration>(
            tarrow.store(),
            IntegrationSetup{std::string(hitsPath),
                             tarrow.paths().hosts,
                             ui::resourcesFolder().toStdString(),
                             extension ? extension->id : std::string(),
                             {}},
            std::move(needs));
        tarrow.addCommand("card", [this](const Command& command, Instant) {
            integration->demonstrateCard(command.words.size() >= 2 ? command.words[1] : "");
        });
    }
};

// The actions of the desktop entry, as the launcher's menu offers them.
void desktopAction(Tarrow& tarrow, const QString& name) {
    static const std::map<QString, std::string> commands = {
        {"settings", "settings"}, {"block-hour", "for 60"}, {"open-everything", "off"}};
    auto command = commands.find(name);
    if (command == commands.end()) {
        log("unknown desktop action: " + name.toStdString());
        return;
    }
    if (tarrow.runCommand(command->second, tarrow.now())) tarrow.tick();
}

}  // namespace

int runApp(int argc, char** argv, const std::string& folder) {
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QString::fromUtf8(appName.data(), appName.size()));
    QApplication::setApplicationVersion(QString::fromStdString(appVersion()));
    // Wayland compositors and docks match the window to the menu entry by this name.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(appId.data(), appId.size()));
    ui::followDesktopAppearance(application);
    ui::registerBrandFont();

    // config.json, attempts.json and the state file are written by one writer thread, so
    // a slow disk never stalls the window; the results come back through the event loop,
    // where the store and the controller log them. The model itself has no threads.
    FileWriter writer([&application](std::function<void()> done) {
        QMetaObject::invokeMethod(&application, std::move(done), Qt::QueuedConnection);
    });
    const WriteFile toWriter = [&writer](FileWrite write) { writer.write(std::move(write)); };

    Store store(folder, logLine);
    store.writeFile = toWriter;
    store.readsHistory = true;
    loadSuggestionsInBackground(store, application);
    ui::TrayItem item(ui::markIcon);

    // The controller reaches the browser side through its hooks; until that exists (it
    // needs the controller), they do nothing.
    Browsers browsers;
    ControllerHooks hooks;
    hooks.post = [&application](std::function<void()> work) {
        QTimer::singleShot(0, &application, std::move(work));
    };
    hooks.exit = [](int status) { QCoreApplication::exit(status); };
    hooks.writeFile = toWriter;
    hooks.watchHits = [&browsers] {
        if (browsers.integration) browsers.integration->watchHits();
    };
    hooks.sweepTabs = [&browsers] {
        if (browsers.integration) browsers.integration->sweepTabs();
    };
    hooks.newCalendar = [zone = std::make_shared<ZoneWatch>()]() -> std::optional<Calendar> {
        if (!zone->changed()) return std::nullopt;
        return Calendar::current();
    };
    Tarrow tarrow(store, systemPaths(folder, bundledHelperSHA256), item, Calendar::current(),
                  std::move(hooks));
    browsers.make(tarrow, item);

    MenuActions menuActions = ui::trayActions(tarrow);
    menuActions.refreshBrowsers = [&browsers] { browsers.integration->refreshBrowsers(); };
    const std::optional<std::string> agent = platform::startingAgent();
    const LoginItem login = autostartItem();
    // The window is made when first shown.
    ui::Settings settings(tarrow, menuActions, {login, agent});
    menuActions.showSettings = [&settings](Tab tab) { settings.show(tab); };
    ui::TrayMenu menu(tarrow, std::move(menuActions));
    item.setMenu(menu.menu());
    // Without a tray the same menu is a button in the settings window, until a tray appears.
    if (!item.trayFound()) settings.offerMenu(menu.menu());
    item.onTrayFound([&settings] { settings.offerMenu(nullptr); });

    if (!platform::emptyRequestOnSignals(tarrow.paths().request)) {
        log("cannot prepare the signal handler; a signal will not unblock");
    }
    platform::waitOnSignalsWhile(&writer.busy(), quitWait);
    log(std::string(appName) + " " + appVersion() + " started, state in " + folder +
        (agent ? " (" + agentName(*agent) + ")" : ""));
    if (agent) dropLoginItemForAgent(login, agentName(*agent), [](std::string_view m) { log(m); });
    QObject::connect(&application, &QCoreApplication::aboutToQuit, [&tarrow, &writer] {
        tarrow.emptyRequest();
        tarrow.attempts().save(tarrow.now(), tarrow.calendar());  // the last tick's counts
        if (!writer.finish(quitWait))
            log("quit: a save did not finish within 2 s; not waiting for it");
        platform::waitOnSignalsWhile(nullptr, {});
    });

    // The card's motion follows the desktop's setting, as it is now and as it changes.
    platform::MotionWatch motion([](bool reduced) {
        log(reduced ? "less motion asked for: the card fades without sliding"
                    : "full motion again: the card slides in");
    });
    log(std::string(motion.reduced() ? "less" : "full") + " motion, from " +
        motion.source().toStdString());
    browsers.motion = &motion;
    // Reachable without a tray: a second start, the desktop's launcher and its actions,
    // and the command file, which wakes the app at once. Ready before the first pass, so
    // that one made during start-up is taken by it.
    auto showSites = [&settings] { settings.show(Tab::sites); };
    tarrow.addCommand("settings", [showSites](const Command&, Instant) { showSites(); });
    auto anotherStart = [showSites] {
        showSites();
        log("another start: settings shown");
    };
    tarrow.addCommand(
        activateWord, [anotherStart](const Command&, Instant) { anotherStart(); }, false);
    platform::AppActivation activation(
        QString::fromLatin1(appId.data(), appId.size()),
        {anotherStart, [&tarrow](const QString& name) { desktopAction(tarrow, name); }});
    if (!activation.serving())
        log("not reachable over the session bus (" + activation.problem().toStdString() +
            "); a second start uses the command file");
    platform::EntryWatch commandWatch(folder, "command", [&tarrow] { tarrow.tick(); });
    if (!commandWatch.watching())
        log("cannot watch for the command file, it is taken every 5 s: " + commandWatch.problem());

    browsers.integration->start();
    tarrow.tick();
    if (!agent && store.helper() == Helper::missing) settings.showWelcome(item.trayFound());
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

}  // namespace tarrow::app
