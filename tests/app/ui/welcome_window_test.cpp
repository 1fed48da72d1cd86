#include "app/ui/welcome_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/model/general_texts.h"
#include "app/model/setup_texts.h"
#include "app/ui/ui_text.h"
#include "tests/support/qt_app.h"

namespace tarrow::test {
namespace {

TEST(WelcomeWindow, TextsAndTheTwoButtons) {
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
        EXPECT_EQ(window.windowTitle(), "Tarrow");
        EXPECT_EQ(window.width(), 440);
        QStringList texts;
        for (QLabel* label : window.findChildren<QLabel*>()) texts << label->text();
        EXPECT_EQ(texts, (QStringList{ui::text(welcomeHeadline()), ui::text(welcomeBody()),
                                      ui::text(welcomeWhere())}));
        EXPECT_EQ(window.laterButton()->text(), ui::text(laterTitle));
        EXPECT_EQ(window.setUpButton()->text(), ui::text(setUpTitle));
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
