#include "app/ui/notice_view.h"

#include <gtest/gtest.h>

#include <QLabel>

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

}  // namespace
}  // namespace tarrow::ui
