#include "app/ui/notice_view.h"

#include <gtest/gtest.h>

#include <QLabel>

#include "app/model/machine_texts.h"
#include "tests/support/qt_app.h"

namespace tarrow::ui {
namespace {

// Off macOS the card sends the user to the panel, never to the menu bar.
TEST(NoticeView, SaysWhereTheMarkIs) {
    test::ensureQtApp();
    NoticeView view;
    view.setContent("YouTube", "Blocked until you say okay.");
    QStringList texts{view.accessibleName()};
    for (QLabel* label : view.findChildren<QLabel*>()) texts << label->text();
    const QString all = texts.join('\n');
#ifdef __APPLE__
    EXPECT_TRUE(all.contains("under the t in the menu bar.")) << all.toStdString();
#else
    EXPECT_FALSE(all.contains("menu bar")) << all.toStdString();
    EXPECT_FALSE(all.contains("Mac")) << all.toStdString();
    EXPECT_TRUE(all.contains("To open it anyway, choose Okay, Now under the t in the panel."))
        << all.toStdString();
    EXPECT_TRUE(view.accessibleName().endsWith(
        "Blocked until you say okay. To open it anyway, choose Okay, Now in the panel."))
        << view.accessibleName().toStdString();
#endif
}

// The muted line of today's tries under the texts, read out last; none without a try.
TEST(NoticeView, SaysWhichTryItIs) {
    test::ensureQtApp();
    NoticeView view;
    view.setContent("YouTube", "Blocked until you say okay.", "3rd try today");
    EXPECT_EQ(view.triesLabel()->text(), "3rd try today");
    EXPECT_FALSE(view.triesLabel()->isHidden());
    const QString how = QString::fromStdString(machineText(machine::cardHowSpoken));
    EXPECT_TRUE(view.accessibleName().endsWith(how + " 3rd try today."))
        << view.accessibleName().toStdString();
    view.setContent("YouTube", "Blocked until you say okay.");
    EXPECT_TRUE(view.triesLabel()->isHidden());
    EXPECT_TRUE(view.accessibleName().endsWith(how));
}

}  // namespace
}  // namespace tarrow::ui
