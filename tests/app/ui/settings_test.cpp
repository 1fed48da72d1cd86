#include "app/ui/settings.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/ui/settings_window.h"
#include "app/ui/setup_box.h"
#include "app/ui/tray_menu.h"
#include "app/ui/welcome_window.h"
#include "tests/support/qt_app.h"
#include "tests/support/rig.h"

namespace tarrow::test {
namespace {

QAction* find(QMenu* menu, const QString& title) {
    for (QAction* action : menu->actions()) {
        if (action->text() == title) return action;
        if (action->menu())
            if (QAction* inner = find(action->menu(), title)) return inner;
    }
    return nullptr;
}

// The tray's items open the one window on their tab; its set-up box and the welcome
// window's reach the controller.
TEST(Settings, TrayItemsOpenTheOneWindowOnTheirTab) {
    ensureQtApp();
    Rig rig(HelperFiles::none);
    rig.start(configWith({"example.com"}, false));
    int installs = 0;
    app::MenuActions actions;
    actions.installHelper = [&] {
        ++installs;
        return false;
    };
    ui::Settings settings(*rig.tarrow, actions);
    actions.showSettings = [&settings](Tab tab) { settings.show(tab); };
    ui::TrayMenu tray(*rig.tarrow, actions);
    tray.rebuild();

    const std::pair<const char*, int> items[] = {
        {"Edit Sites\u2026", 0}, {"Edit Schedules\u2026", 1}, {"Settings\u2026", 2}};
    ui::SettingsWindow* first = nullptr;
    for (const auto& [title, tab] : items) {
        QAction* action = find(tray.menu(), QString::fromUtf8(title));
        ASSERT_NE(action, nullptr) << title;
        action->trigger();
        ui::SettingsWindow& window = settings.window();
        if (!first) first = &window;
        EXPECT_EQ(&window, first);  // made once
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.tabs()->currentIndex(), tab) << title;
    }
    EXPECT_EQ(rig.countPrefix("the settings window"), 0);

    rig.tick();  // no helper installed: the box offers the set-up
    settings.show(Tab::sites);
    ui::SetupBox* box = settings.window().sites()->setupBox();
    ASSERT_TRUE(box->isVisible());
    box->setUpButton()->click();
    EXPECT_EQ(installs, 1);

    // The welcome window's "Set Up Blocking…" runs the same set-up.
    settings.showWelcome();
    ASSERT_NE(settings.welcome(), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(settings.welcome()));
    QTest::keyClick(settings.welcome(), Qt::Key_Return);
    EXPECT_EQ(installs, 2);
    EXPECT_FALSE(settings.welcome()->isVisible());
    settings.showWelcome();  // the same window again
    EXPECT_TRUE(settings.welcome()->isVisible());
}

// Without a tray the window's button opens the tray's own menu, rebuilt as it opens; once a
// tray appears the button goes.
TEST(Settings, WithoutATrayTheWindowOpensTheTrayMenu) {
    ensureQtApp();
    Rig rig(HelperFiles::none);
    rig.start(configWith({"example.com"}, false));
    app::MenuActions actions;
    ui::Settings settings(*rig.tarrow, actions);
    ui::TrayMenu tray(*rig.tarrow, actions);
    settings.offerMenu(tray.menu());
    settings.show(Tab::sites);
    QToolButton* button = settings.window().menuButton();
    ASSERT_TRUE(button->isVisible());
    EXPECT_EQ(button->accessibleName(), "Tarrow Menu");

    QStringList shown;
    QTimer::singleShot(0, [&] {
        for (QAction* action : tray.menu()->actions()) shown << action->text();
        tray.menu()->close();
    });
    button->showMenu();  // returns once the menu closes
    EXPECT_TRUE(shown.contains("Tarrow For")) << shown.join(", ").toStdString();
    EXPECT_EQ(shown.size(), qsizetype(tray.entries().size()));

    settings.offerMenu(nullptr);
    EXPECT_FALSE(button->isVisible());
}

}  // namespace
}  // namespace tarrow::test
