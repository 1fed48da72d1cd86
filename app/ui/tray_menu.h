#pragma once
// The tray menu in Qt: rebuilt from the controller's menu model every time it opens
// (after a tick), each item wired to its command.

#include <QMenu>
#include <QObject>
#include <memory>
#include <vector>

#include "app/controller/menu_commands.h"
#include "app/controller/menu_model.h"

namespace tarrow::app {
class Tarrow;
}

namespace tarrow::ui {

class TrayMenu final : public QObject {
  public:
    TrayMenu(app::Tarrow& tarrow, app::MenuActions actions, QObject* parent = nullptr);

    QMenu* menu() { return &menu_; }
    // Ticks and rebuilds the items; the menu does this itself before it opens.
    void rebuild();
    // The model the items were last built from.
    const std::vector<app::MenuEntry>& entries() const { return entries_; }

  private:
    void fill(QMenu& menu, const std::vector<app::MenuEntry>& entries);

    app::Tarrow& tarrow_;
    app::MenuActions actions_;
    QMenu menu_;
    std::vector<std::unique_ptr<QMenu>> submenus_;
    std::vector<app::MenuEntry> entries_;
};

// A menu title as Qt shows it: "&" is a mnemonic marker there, so it is doubled.
QString menuTitle(const std::string& title);
// The key used with Ctrl (the platform's command key); empty for none.
QKeySequence menuKey(const std::string& key);

}  // namespace tarrow::ui
