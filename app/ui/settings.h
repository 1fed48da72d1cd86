#pragma once
// The controller's settings window: made on first use, kept for the life of the process,
// and wired to the controller's commands (set-up, removal of the helper, "Settings…").

#include <memory>

#include "app/controller/menu_commands.h"
#include "app/model/tab.h"

namespace tarrow::app {
class Tarrow;
}

namespace tarrow::ui {

class SettingsWindow;
class StoreSignals;

class Settings {
  public:
    // `actions` are the menu's; their showSettings is this object's `show`.
    Settings(app::Tarrow& tarrow, app::MenuActions actions);
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // The window on that tab, in front and active.
    void show(Tab tab);
    // The window, made now if it was not yet.
    SettingsWindow& window();

  private:
    app::Tarrow& tarrow_;
    app::MenuActions actions_;
    std::unique_ptr<StoreSignals> signals_;
    std::unique_ptr<SettingsWindow> window_;
};

}  // namespace tarrow::ui
