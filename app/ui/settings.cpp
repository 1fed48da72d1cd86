#include "app/ui/settings.h"

#include "app/controller/tarrow.h"
#include "app/ui/settings_window.h"
#include "app/ui/store_signals.h"
#include "app/ui/welcome_window.h"

#ifdef __APPLE__
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QTimer>
#include <QUrl>
#endif

namespace tarrow::ui {

namespace {

#ifdef __APPLE__
// Shows the app's bundle in the Finder (to be dragged into the list), then the Full Disk
// Access settings.
void openFullDiskAccess() {
    QDir bundle(QCoreApplication::applicationDirPath());
    bundle.cdUp();
    bundle.cdUp();
    QProcess::startDetached(QStringLiteral("/usr/bin/open"), {"-R", bundle.absolutePath()});
    QTimer::singleShot(600, [] {
        QDesktopServices::openUrl(QUrl(QStringLiteral(
            "x-apple.systempreferences:com.apple.preference.security?Privacy_AllFiles")));
    });
}
#endif

}  // namespace

Settings::Settings(app::Tarrow& tarrow, app::MenuActions actions, LoginSetup login)
    : tarrow_(tarrow), actions_(std::move(actions)), login_(std::move(login)) {
    actions_.showSettings = [this](Tab tab) { show(tab); };
}

Settings::~Settings() = default;

SettingsWindow& Settings::window() {
    if (window_) return *window_;
    signals_ = std::make_unique<StoreSignals>(tarrow_.store());
    SettingsHooks hooks;
    hooks.sites.log = [this](std::string_view message) { tarrow_.log(message); };
    hooks.sites.setUp = [this] { app::setUp(tarrow_, actions_); };
    hooks.sites.removeHelper = [this] { app::remove(tarrow_, actions_); };
#ifdef __APPLE__
    hooks.sites.openFullDiskAccess = openFullDiskAccess;
#endif
    hooks.openSettings = [this] { app::show(tarrow_, Tab::general, actions_); };
    hooks.schedules.setUp = hooks.sites.setUp;
    hooks.schedules.removeHelper = hooks.sites.removeHelper;
    hooks.calendar = &tarrow_.calendar();

    GeneralHooks& general = hooks.general;
    general.log = hooks.sites.log;
    general.setUp = hooks.sites.setUp;
    general.removeHelper = hooks.sites.removeHelper;
    general.login = login_.login;
    general.agent = login_.agent;
    general.askBrowsers = [this] {
        if (actions_.askBrowsers) actions_.askBrowsers();
    };
    general.openAutomationSettings = [this] { app::openAutomationSettings(actions_); };
    general.about = [this] {
        if (actions_.about) actions_.about();
    };
    general.openSite = [this] { app::openSite(actions_); };
    general.showPrivacy = [this] { app::showPrivacy(actions_); };
    general.showLog = [this] { app::showLog(tarrow_, actions_); };
    window_ = std::make_unique<SettingsWindow>(*signals_, std::move(hooks));
    window_->offerMenu(menu_);
    return *window_;
}

void Settings::offerMenu(QMenu* menu) {
    menu_ = menu;
    if (window_) window_->offerMenu(menu);
}

void Settings::show(Tab tab) {
    window().showTab(tab);
}

void Settings::showWelcome(bool tray) {
    if (!welcome_)
        welcome_ = std::make_unique<WelcomeWindow>([this] { app::setUp(tarrow_, actions_); }, tray);
    welcome_->present();
}

}  // namespace tarrow::ui
