#include "app/ui/notice_view.h"

#include <gtest/gtest.h>

#include <QLabel>

#include "app/model/machine_texts.h"
#include "tests/support/qt_app.h"

namespace tarrow::ui {
namespace {

// The muted line of today's tries under the texts, read out last; none without a try.
TEST(NoticeView, SaysWhichTryItIs) {
    test::ensureQtApp();
    NoticeView view;
    view.setContent("YouTube", "Blocked until you say okay.", "3rd try today");
    // Off macOS the card sends the user to the panel (the wordings are the model's test).
    const QString how = QString::fromStdString(machineText(machine::cardHowSpoken));
    QStringList texts;
    for (QLabel* label : view.findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(
        texts.contains(QString::fromStdString(machineText(machine::cardHow, {{"letter", "t"}}))))
        << texts.join('\n').toStdString();
    EXPECT_EQ(view.triesLabel()->text(), "3rd try today");
    EXPECT_FALSE(view.triesLabel()->isHidden());
    EXPECT_TRUE(view.accessibleName().endsWith(how + " 3rd try today."))
        << view.accessibleName().toStdString();
    view.setContent("YouTube", "Blocked until you say okay.");
    EXPECT_TRUE(view.triesLabel()->isHidden());
    EXPECT_TRUE(view.accessibleName().endsWith(how));
}

}  // namespace
}  // namespace tarrow::ui
