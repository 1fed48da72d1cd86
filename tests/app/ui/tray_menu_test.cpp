#include "app/ui/tray_menu.h"

#include <gtest/gtest.h>

#include <QAction>

#include "tests/support/qt_app.h"
#include "tests/support/rig.h"

namespace tarrow::test {
namespace {

QAction* find(QMenu* menu, const QString& title) {
    for (QAction* action : menu->actions())
        if (action->text() == title) return action;
    return nullptr;
}

TEST(TrayMenu, RebuiltOnEveryOpeningAfterATick) {
    ensureQtApp();
    Rig rig(HelperFiles::none);
    Config config = configWith({"example.com", "R&D.example"}, false);
    config.sites[1].enabled = false;
    rig.start(config);
    std::vector<std::string> installs;
    app::MenuActions actions;
    actions.installHelper = [&] {
        installs.push_back("install");
        return false;
    };
    ui::TrayMenu tray(*rig.tarrow, actions);
    QMenu* menu = tray.menu();

    emit menu->aboutToShow();
    QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 13);
    EXPECT_FALSE(items[0]->isEnabled());
    EXPECT_EQ(items[0]->text().toStdString(), rig.store->status());
    EXPECT_EQ(items[1]->text(), QString::fromUtf8("Set Up Blocking\u2026"));
    EXPECT_EQ(items[1]->toolTip(),
              "Tarrow blocks through /etc/hosts. Writing it needs your password once.");
    EXPECT_TRUE(items[2]->isSeparator());
    EXPECT_EQ(items[3]->text(), "Tarrow");
    EXPECT_EQ(items[3]->toolTip(), "Blocks your sites until you choose Okay, Now.");
    ASSERT_NE(items[4]->menu(), nullptr);
    EXPECT_TRUE(items[4]->isEnabled());
    EXPECT_EQ(items[4]->menu()->actions().size(), 4);

    QMenu* sites = items[6]->menu();
    ASSERT_NE(sites, nullptr);
    QAction* first = find(sites, "example.com");
    QAction* second = find(sites, "R&&D.example");  // shown as "R&D.example"
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(first->isCheckable() && first->isChecked());
    EXPECT_TRUE(second->isCheckable() && !second->isChecked());
    QMenu* schedules = items[7]->menu();
    ASSERT_NE(schedules, nullptr);
    QAction* none = find(schedules, "No schedules yet");
    ASSERT_NE(none, nullptr);
    EXPECT_FALSE(none->isEnabled());

    QAction* settings = find(menu, QString::fromUtf8("Settings\u2026"));
    QAction* quit = find(menu, "Quit Tarrow");
    ASSERT_NE(settings, nullptr);
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(settings->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    EXPECT_EQ(quit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_EQ(quit->toolTip(), "Quitting unblocks every site.");

    // Choosing a site switches it on; the next opening shows it checked.
    second->trigger();
    EXPECT_TRUE(rig.store->config().sites[1].enabled);
    // A command given in between is taken by the opening's tick.
    rig.command("on");
    emit menu->aboutToShow();
    items = menu->actions();
    EXPECT_EQ(items[3]->text(), "Okay, Now");
    EXPECT_TRUE(find(items[6]->menu(), "R&&D.example")->isChecked());

    // The switch itself: off again, and its set-up runs only when switching on.
    items[3]->trigger();
    EXPECT_FALSE(rig.store->config().manualOn);
    EXPECT_TRUE(installs.empty());
    emit menu->aboutToShow();
    menu->actions()[3]->trigger();
    EXPECT_TRUE(rig.store->config().manualOn);
    EXPECT_EQ(installs.size(), 1u);
}

}  // namespace
}  // namespace tarrow::test
