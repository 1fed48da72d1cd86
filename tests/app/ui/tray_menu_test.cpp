#include "app/ui/tray_menu.h"

#include <gtest/gtest.h>

#include <QAction>

#include "app/controller/menu_model.h"
#include "tests/support/qt_app.h"
#include "tests/support/rig.h"

namespace tarrow::test {
namespace {

QAction* find(QMenu* menu, const QString& title) {
    for (QAction* action : menu->actions())
        if (action->text() == title) return action;
    return nullptr;
}

// The Qt menu holds the menu model's entries, in order, submenus included.
void expectMirrors(QMenu* menu, const std::vector<app::MenuEntry>& entries) {
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), qsizetype(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        const app::MenuEntry& entry = entries[i];
        const QAction* action = actions[qsizetype(i)];
        SCOPED_TRACE(entry.title);
        ASSERT_EQ(action->isSeparator(), entry.separator);
        if (entry.separator) continue;
        EXPECT_EQ(QString(action->text()).replace("&&", "&").toStdString(), entry.title);
        EXPECT_EQ(action->isEnabled(), entry.enabled());
        if (!entry.tip.empty()) {
            EXPECT_EQ(action->toolTip().toStdString(), entry.tip);
        }
        EXPECT_EQ(action->shortcut().isEmpty(), entry.key.empty());
        EXPECT_EQ(action->isCheckable(), entry.state.has_value());
        EXPECT_EQ(action->isChecked(), entry.state.value_or(false));
        ASSERT_EQ(action->menu() != nullptr, !entry.submenu.empty());
        if (action->menu()) expectMirrors(action->menu(), entry.submenu);
    }
}

TEST(TrayMenu, RebuiltOnEveryOpeningAfterATick) {
    ensureQtApp();
    Rig rig(HelperFiles::none);
    Config config = configWith({"example.com", "R&D.example"}, false);
    config.sites[1].enabled = false;
    rig.start(config);
    int installs = 0;
    app::MenuActions actions;
    actions.installHelper = [&] {
        ++installs;
        return false;
    };
    ui::TrayMenu tray(*rig.tarrow, actions);
    QMenu* menu = tray.menu();

    emit menu->aboutToShow();
    expectMirrors(menu, app::menuEntries(app::menuFacts(*rig.tarrow)));
    QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 13);
    EXPECT_EQ(items[0]->text().toStdString(), rig.store->status());
    QAction* second = find(items[6]->menu(), "R&&D.example");  // shown as "R&D.example"
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(items.back()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));  // Quit

    // Choosing a site switches it on; the next opening shows it checked.
    second->trigger();
    EXPECT_TRUE(rig.store->config().sites[1].enabled);
    // A command given in between is taken by the opening's tick.
    rig.command("on");
    emit menu->aboutToShow();
    expectMirrors(menu, app::menuEntries(app::menuFacts(*rig.tarrow)));
    EXPECT_TRUE(rig.store->config().manualOn);
    EXPECT_TRUE(find(menu->actions()[6]->menu(), "R&&D.example")->isChecked());

    // The switch itself: off again, and its set-up runs only when switching on.
    menu->actions()[3]->trigger();
    EXPECT_FALSE(rig.store->config().manualOn);
    EXPECT_EQ(installs, 0);
    emit menu->aboutToShow();
    menu->actions()[3]->trigger();
    EXPECT_TRUE(rig.store->config().manualOn);
    EXPECT_EQ(installs, 1);
}

}  // namespace
}  // namespace tarrow::test
