#include "app/run_app.h"

#include <QApplication>
#include <QThreadPool>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "app/browser/browser_integration.h"
#include "app/browser/suggestion_loader.h"
#include "app/bundled_helper.h"
#include "app/controller/log.h"
#include "app/controller/tarrow.h"
#include "app/model/store.h"
#include "app/model/texts.h"
#include "app/startup.h"
#include "app/ui/brand.h"
#include "app/ui/mark.h"
#include "app/ui/notice_panel.h"
#include "app/ui/resources.h"
#include "app/ui/tray_actions.h"
#include "app/ui/tray_item.h"
#include "app/ui/tray_menu.h"
#include "platform/paths.h"
#include "platform/termination.h"

namespace tarrow::app {

namespace {

constexpr int tickMilliseconds = 5000;
constexpr const char* agentLabel = "de.brightloom.tarrow";

bool startedByAgent() {
    const char* label = std::getenv("XPC_SERVICE_NAME");
    return label && std::strcmp(label, agentLabel) == 0;
}

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

    void make(Tarrow& tarrow) {
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
                [this](const std::string& name, const std::string& line) {
                    if (!card) card = std::make_unique<ui::NoticePanel>();
                    card->show(QString::fromStdString(name), QString::fromStdString(line));
                },
        };
        integration = std::make_unique<BrowserIntegration>(
            tarrow.store(),
            IntegrationSetup{std::string(hitsPath),
                             tarrow.paths().hosts,
                             ui::resourcesFolder().toStdString(),
                             {}},
            std::move(needs));
        tarrow.addCommand("card", [this](const Command& command, Instant) {
            integration->demonstrateCard(command.words.size() >= 2 ? command.words[1] : "");
        });
    }
};

}  // namespace

int runApp(int argc, char** argv, const std::string& folder) {
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QString::fromUtf8(appName.data(), appName.size()));
    QApplication::setApplicationVersion(QString::fromStdString(appVersion()));
    ui::registerBrandFont();

    Store store(folder, logLine);
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
    hooks.watchHits = [&browsers] {
        if (browsers.integration) browsers.integration->watchHits();
    };
    hooks.sweepTabs = [&browsers] {
        if (browsers.integration) browsers.integration->sweepTabs();
    };
    Tarrow tarrow(store, systemPaths(folder, bundledHelperSHA256), item, Calendar::current(),
                  std::move(hooks));
    browsers.make(tarrow);

    MenuActions menuActions = ui::trayActions(tarrow);
    menuActions.refreshBrowsers = [&browsers] { browsers.integration->refreshBrowsers(); };
    ui::TrayMenu menu(tarrow, std::move(menuActions));
    item.setMenu(menu.menu());

    if (!platform::emptyRequestOnSignals(tarrow.paths().request)) {
        log("cannot prepare the signal handler; a signal will not unblock");
    }
    log(std::string(appName) + " " + appVersion() + " started, state in " + folder +
        (startedByAgent() ? " (LaunchAgent)" : ""));
    QObject::connect(&application, &QCoreApplication::aboutToQuit,
                     [&tarrow] { tarrow.emptyRequest(); });

    browsers.integration->start();
    tarrow.tick();
    QTimer ticker;
    ticker.setTimerType(Qt::CoarseTimer);
    ticker.setInterval(tickMilliseconds);
    QObject::connect(&ticker, &QTimer::timeout, [&tarrow] { tarrow.tick(); });
    ticker.start();
    return application.exec();
}

}  // namespace tarrow::app
