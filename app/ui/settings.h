#pragma once
// The controller's settings window: made on first use, kept for the life of the process,
// and wired to the controller's commands (set-up, removal of the helper, "Settings…").

#include <QMenu>
#include <QPointer>
#include <memory>
#include <optional>
#include <string>

#include "app/controller/menu_commands.h"
#include "app/model/login_item.h"
#include "app/model/tab.h"

namespace tarrow::app {
class Tarrow;
}

namespace tarrow::ui {

class SettingsWindow;
class StoreSignals;
class WelcomeWindow;

// What the General tab needs of the system: the app's start at login, and the per-user
// service that started the app, if one did (as `agentName` names it).
struct LoginSetup {
    LoginItem login;
    std::optional<std::string> agent;
};

class Settings {
  public:
    // `actions` are the menu's; their showSettings is this object's `show`.
    Settings(app::Tarrow& tarrow, app::MenuActions actions, LoginSetup login = {});
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // The window on that tab, in front and active.
    void show(Tab tab);
    // The window, made now if it was not yet.
    SettingsWindow& window();
    // The welcome window of a first start, in front; "Set Up Blocking…" there sets up.
    // Its texts say where the app is: in the tray, or without one in the applications menu.
    void showWelcome(bool tray = true);
    WelcomeWindow* welcome() const { return welcome_.get(); }
    // The tray's menu, offered in the window while there is no tray; null withdraws it.
    void offerMenu(QMenu* menu);

  private:
    app::Tarrow& tarrow_;
    app::MenuActions actions_;
    LoginSetup login_;
    std::unique_ptr<StoreSignals> signals_;
    std::unique_ptr<SettingsWindow> window_;
    std::unique_ptr<WelcomeWindow> welcome_;
    QPointer<QMenu> menu_;
};

}  // namespace tarrow::ui
