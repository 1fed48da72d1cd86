#include "app/ui/settings_window.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QScreen>
#include <QTabBar>

#include "tests/app/ui/settings_fixture.h"
#include "tests/support/qt_app.h"

namespace tarrow::test {
namespace {

class SettingsWindow : public ::testing::Test {
  protected:
    void SetUp() override { ensureQtApp(); }
};

TEST_F(SettingsWindow, TitleFollowsTheSelectedTab) {
    SettingsRig rig(sitesConfig({}));
    rig.open(Tab::sites);
    EXPECT_EQ(rig.window->windowTitle(), "Sites");
    const std::pair<Tab, const char*> shown[] = {
        {Tab::schedules, "Schedules"}, {Tab::general, "General"}, {Tab::sites, "Sites"}};
    for (const auto& [tab, title] : shown) {
        rig.window->showTab(tab);
        EXPECT_EQ(rig.window->tabs()->currentIndex(), int(tab));
        EXPECT_EQ(rig.window->windowTitle(), title);
        EXPECT_EQ(rig.store->tab(), tab);
    }
    QTest::mouseClick(rig.window->tabs()->tabBar(), Qt::LeftButton, {},
                      rig.window->tabs()->tabBar()->tabRect(2).center());
    EXPECT_EQ(rig.window->windowTitle(), "General");
}

TEST_F(SettingsWindow, ClosingHidesTheSameWindowAndKeysWork) {
    SettingsRig rig(sitesConfig({}));
    ui::SettingsWindow* window = rig.window.get();
    window->showTab(Tab::sites);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));

    QTest::keyClick(window, Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_EQ(rig.calls, std::vector<std::string>{"open settings"});

    QTest::keyClick(window, Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(rig.sites().tab().listed());

    window->showTab(Tab::sites);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(rig.window.get(), window);
    EXPECT_TRUE(rig.sites().tab().listed());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    EXPECT_EQ(rig.focused(), static_cast<QWidget*>(rig.sites().entry()));
}

// A second "Settings…" while the window is open behind another one brings it forward.
TEST_F(SettingsWindow, ShowingAgainRaisesAndActivatesIt) {
    SettingsRig rig(sitesConfig({}));
    rig.open(Tab::sites);
    ASSERT_TRUE(QTest::qWaitForWindowActive(rig.window.get()));
    QWidget other;
    other.resize(300, 200);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));

    rig.window->showTab(Tab::general);
    EXPECT_TRUE(QTest::qWaitForWindowActive(rig.window.get()));
    EXPECT_EQ(rig.window->tabs()->currentIndex(), int(Tab::general));
}

}  // namespace
}  // namespace tarrow::test
