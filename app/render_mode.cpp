#include "app/render_mode.h"

#include <QApplication>
#include <QDir>
#include <QStyleFactory>
#include <QTabWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/autostart_item.h"
#include "app/bundled_helper.h"
#include "app/controller/log.h"
#include "app/controller/render_setup.h"
#include "app/controller/tarrow.h"
#include "app/model/attempts.h"
#include "app/model/attempts_texts.h"
#include "app/model/store.h"
#include "app/startup.h"
#include "app/ui/appearance.h"
#include "app/ui/brand.h"
#include "app/ui/mark.h"
#include "app/ui/png.h"
#include "app/ui/render_views.h"
#include "app/ui/settings.h"
#include "app/ui/settings_window.h"
#include "app/ui/store_signals.h"
#include "app/ui/tray_actions.h"
#include "app/ui/tray_item.h"
#include "common/file_io.h"
#include "platform/paths.h"

namespace tarrow::app {

namespace {

void logLine(std::string_view message) {
    log(message);
}

struct Look {
    const char* name;
    ui::Appearance appearance;
};
constexpr Look looks[] = {{"light", ui::Appearance::light}, {"dark", ui::Appearance::dark}};

struct TabName {
    Tab tab;
    const char* name;
};
constexpr TabName tabNames[] = {
    {Tab::sites, "sites"}, {Tab::schedules, "schedules"}, {Tab::general, "general"}};

QString fileIn(const QString& folder, const QString& name) {
    return QDir(folder).filePath(name);
}

QtMessageHandler qtMessages = nullptr;

// The off-screen platform says so each time a window is raised or activated, as opening
// the settings window does; nothing is wrong then.
void withoutPlatformNotes(QtMsgType type, const QMessageLogContext& context,
                          const QString& message) {
    if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
    if (qtMessages) qtMessages(type, context, message);
}

Instant currentInstant() {
    return std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
}

}  // namespace

void prepareRenderPlatform() {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    for (const char* scaling : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI"})
        ::unsetenv(scaling);
}

int renderPictures(int argc, char** argv, const std::string& folder, const std::string& stateFolder,
                   const std::vector<std::string>& args) {
    if (Status made = makeWritableFolder(folder); !made.ok()) {
        log(made.text());
        return 1;
    }
    qtMessages = qInstallMessageHandler(withoutPlatformNotes);
    QApplication application(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setApplicationName(QString::fromUtf8(appName.data(), qsizetype(appName.size())));
    QApplication::setApplicationVersion(QString::fromStdString(appVersion()));
    ui::registerBrandFont();

    Store store(stateFolder, logLine);
    const Calendar calendar = Calendar::current();
    const Instant now = renderInstant(std::getenv("TARROW_NOW"), currentInstant());
    prepareForRender(store, renderDemo(args), now, calendar);
    // The counts of attempts come from the state folder's attempts.json, as in the app:
    // the week's count under each site, and the card's try line.
    const Attempts attempts(stateFolder, logLine);
    store.setWeekAttempts(attempts.week(now, calendar));
    const RenderSize size = renderSize(std::getenv("TARROW_RENDER_SIZE"));
    const QString out = QString::fromStdString(folder);
    ui::StoreSignals observed(store);
    ui::GeneralHooks general;
    general.login = autostartItem();

    bool all = true;
    for (const ui::DocumentedView& view : ui::documentedViews(observed, calendar, general)) {
        for (const Look& look : looks) {
            QApplication::setPalette(ui::appearancePalette(look.appearance));
            const QString name = QString("settings-%1-%2.png").arg(view.name, look.name);
            all &= ui::renderView(view.make(), QSize(size.width, size.height), fileIn(out, name));
        }
    }

    QApplication::setPalette(ui::appearancePalette(ui::Appearance::light));
    all &= ui::renderCard(
        QStringLiteral("YouTube"), QStringLiteral("Blocked until 12:00, on schedule."),
        QString::fromStdString(todayTryLine(attempts.today("youtube.com", now, calendar))),
        fileIn(out, QStringLiteral("card.png")));

    ui::TrayItem item(ui::markIcon);
    ControllerHooks hooks;
    hooks.now = [now] { return now; };
    Tarrow tarrow(store, systemPaths(stateFolder, bundledHelperSHA256), item, Calendar::current(),
                  std::move(hooks));
    ui::Settings settings(tarrow, ui::trayActions(tarrow), {autostartItem(), std::nullopt});
    for (const TabName& tab : tabNames) {
        settings.show(tab.tab);
        ui::settle();
        ui::SettingsWindow& window = settings.window();
        const QSize outer = window.frameGeometry().size();
        // The window's client area (settingsSize); the tab's page is that below the tab bar.
        const QSize content = window.size();
        std::printf("window %s: %d\u00d7%d, content %d\u00d7%d, title \u201c%s\u201d\n", tab.name,
                    outer.width(), outer.height(), content.width(), content.height(),
                    window.windowTitle().toUtf8().constData());
        all &= ui::png(&window, fileIn(out, QString("window-%1.png").arg(tab.name)));
    }
    std::fflush(stdout);
    return all ? 0 : 1;
}

}  // namespace tarrow::app
