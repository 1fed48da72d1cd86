#pragma once
// The settings window: one window with the tabs Sites, Schedules and General, made once
// and kept for the life of the process. Closing hides it; `showTab` brings it back.

#include <QWidget>
#include <functional>
#include <memory>

#include "app/model/calendar.h"
#include "app/model/tab.h"
#include "app/ui/general_view.h"
#include "app/ui/schedules_view.h"
#include "app/ui/sites_view.h"

class QMenu;
class QTabWidget;
class QToolButton;

namespace tarrow::ui {

class StoreSignals;

// The content size of the window, in points.
inline constexpr QSize settingsSize{640, 600};

struct SettingsHooks {
    SitesHooks sites;
    SchedulesHooks schedules;
    GeneralHooks general;
    const Calendar* calendar = nullptr;  // the user's when absent; must outlive the window
    std::function<void()> openSettings;  // Ctrl+, : what the menu's "Settings…" does
};

class SettingsWindow final : public QWidget {
  public:
    SettingsWindow(StoreSignals& observed, SettingsHooks hooks, QWidget* parent = nullptr);

    // Selects the tab, then shows the window (centred the first time), raised and active.
    void showTab(Tab tab);

    // Without a tray, the tray's own menu from a button at the right of the tabs; null hides
    // the button again (a tray has appeared).
    void offerMenu(QMenu* menu);
    QToolButton* menuButton() const { return menuButton_; }

    QTabWidget* tabs() const { return tabs_; }
    SitesView* sites() const { return sites_; }
    SchedulesView* schedules() const { return schedules_; }
    GeneralView* general() const { return general_; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void selected(int index);
    void drawIcons();

    Store& store_;
    SettingsHooks hooks_;
    std::unique_ptr<Calendar> ownCalendar_;
    QTabWidget* tabs_;
    QToolButton* menuButton_;
    SitesView* sites_;
    SchedulesView* schedules_;
    GeneralView* general_;
    bool placed_ = false;
};

// The tab labels, in tab order.
QString tabLabel(Tab tab);

}  // namespace tarrow::ui
