#include "app/ui/welcome_window.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "tests/support/qt_app.h"

namespace tarrow::test {
namespace {

TEST(WelcomeWindow, TheTwoButtonsAndTheirKeys) {
    ensureQtApp();
    struct Case {
        const char* what;
        std::function<void(ui::WelcomeWindow&)> act;
        int setUps;
    };
    const Case cases[] = {
        {"Later", [](ui::WelcomeWindow& w) { w.laterButton()->click(); }, 0},
        {"Escape", [](ui::WelcomeWindow& w) { QTest::keyClick(&w, Qt::Key_Escape); }, 0},
        {"Set Up Blocking", [](ui::WelcomeWindow& w) { w.setUpButton()->click(); }, 1},
        {"Return", [](ui::WelcomeWindow& w) { QTest::keyClick(&w, Qt::Key_Return); }, 1},
    };
    for (const Case& c : cases) {
        int setUps = 0;
        bool shownWhenSetUp = true;
        ui::WelcomeWindow window([&] {
            ++setUps;
            shownWhenSetUp = window.isVisible();
        });
        window.present();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window)) << c.what;
        c.act(window);
        EXPECT_FALSE(window.isVisible()) << c.what;
        EXPECT_EQ(setUps, c.setUps) << c.what;
        if (setUps) {
            EXPECT_FALSE(shownWhenSetUp) << "closes first, then sets up";
        }
    }
}

}  // namespace
}  // namespace tarrow::test
