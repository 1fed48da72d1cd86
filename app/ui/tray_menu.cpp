#include "app/ui/tray_menu.h"

#include <QAction>

#include "app/controller/tarrow.h"

namespace tarrow::ui {

QString menuTitle(const std::string& title) {
    return QString::fromStdString(title).replace('&', QStringLiteral("&&"));
}

QKeySequence menuKey(const std::string& key) {
    if (key.empty()) return {};
    return QKeySequence(QStringLiteral("Ctrl+") + QString::fromStdString(key).toUpper());
}

TrayMenu::TrayMenu(app::Tarrow& tarrow, app::MenuActions actions, QObject* parent)
    : QObject(parent), tarrow_(tarrow), actions_(std::move(actions)) {
    menu_.setToolTipsVisible(true);
    connect(&menu_, &QMenu::aboutToShow, this, &TrayMenu::rebuild);
}

void TrayMenu::rebuild() {
    entries_ = app::rebuiltMenu(tarrow_);
    menu_.clear();
    submenus_.clear();
    fill(menu_, entries_);
}

void TrayMenu::fill(QMenu& menu, const std::vector<app::MenuEntry>& entries) {
    for (const app::MenuEntry& entry : entries) {
        if (entry.separator) {
            menu.addSeparator();
            continue;
        }
        if (!entry.submenu.empty()) {
            auto& submenu = submenus_.emplace_back(std::make_unique<QMenu>(menuTitle(entry.title)));
            submenu->setToolTipsVisible(true);
            fill(*submenu, entry.submenu);
            menu.addMenu(submenu.get());
            continue;
        }
        QAction* action = menu.addAction(menuTitle(entry.title));
        action->setEnabled(entry.enabled());
        if (!entry.tip.empty()) action->setToolTip(QString::fromStdString(entry.tip));
        if (!entry.key.empty()) action->setShortcut(menuKey(entry.key));
        if (entry.state) {
            action->setCheckable(true);
            action->setChecked(*entry.state);
        }
        if (entry.command != app::MenuCommand::none) {
            connect(action, &QAction::triggered, this,
                    [this, entry] { app::choose(tarrow_, entry, actions_); });
        }
    }
}

}  // namespace tarrow::ui
