// The card: where it appears, how long it stays, what it takes.

#include "app/ui/notice_panel.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractAnimation>
#include <QApplication>
#include <QEnterEvent>
#include <QScreen>
#include <QToolButton>

#include "app/ui/notice_view.h"
#include "tests/support/qt_app.h"

namespace tarrow {
namespace {

using test::waitUntil;

TEST(Card, AppearsInItsPlaceAndNeverTakesFocus) {
    test::ensureQtApp();
    ui::NoticePanel card;
    card.show("YouTube", "Blocked until 12:00, on schedule.");
    EXPECT_TRUE(card.isVisible());
    EXPECT_EQ(card.view()->width(), 380);
    EXPECT_GT(card.view()->height(), 120);
    // Off screen counts as composited: a see-through margin around the card holds its shadow.
    EXPECT_GT(card.width(), card.view()->width());
    EXPECT_TRUE(card.windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(card.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(card.testAttribute(Qt::WA_ShowWithoutActivating));
    // It slides 10 down into its place (where that is, is card_place's test).
    ASSERT_TRUE(waitUntil([&] { return card.pos() == ui::NoticePanel::placeFor(card.size()); }));
    EXPECT_FALSE(QApplication::focusWidget());
}

// With less motion asked for, the card fades in over 0.15 s where it stands; otherwise
// over 0.3 s, starting 10 above its place.
TEST(Card, LessMotionFadesFasterWithoutSliding) {
    test::ensureQtApp();
    for (bool reduced : {false, true}) {
        ui::NoticePanel card;
        card.setReducedMotion(reduced);
        card.show("YouTube", "Blocked until you say okay.");
        ASSERT_TRUE(card.appearing());
        EXPECT_EQ(card.appearing()->duration(), reduced ? 150 : 300);
        EXPECT_EQ(card.pos(), ui::NoticePanel::placeFor(card.size()) - QPoint(0, reduced ? 0 : 10));
    }
}

TEST(Card, HidesAfterItsTimeUnlessThePointerRestsOnIt) {
    test::ensureQtApp();
    ui::NoticePanel card;
    card.show("YouTube", "Blocked until you say okay.");
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&card, &enter);
    ASSERT_TRUE(card.hovering());
    card.schedule(std::chrono::milliseconds(50));
    QApplication::processEvents();
    waitUntil([] { return false; }, 400);
    EXPECT_TRUE(card.isVisible());  // put off by two seconds, again and again
    EXPECT_FALSE(card.dismissing());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&card, &leave);
    card.schedule(std::chrono::milliseconds(50));
    EXPECT_TRUE(waitUntil([&] { return !card.isVisible(); }));
}

TEST(Card, ShowDuringTheFadeOutBringsItBackAtOnce) {
    test::ensureQtApp();
    ui::NoticePanel card;
    card.show("YouTube", "one");
    card.dismiss();
    EXPECT_TRUE(card.dismissing());
    card.show("Bild", "two");
    EXPECT_FALSE(card.dismissing());
    EXPECT_TRUE(card.isVisible());
    EXPECT_TRUE(card.accessibleName().startsWith("Tarrow: Bild? Tarrow. two"));
    card.show(QString(300, QChar('W')), QString(400, QChar('x')));
    EXPECT_EQ(card.view()->width(), 380) << "for any name";
    card.show("", "");
    EXPECT_EQ(card.view()->width(), 380);
    waitUntil([] { return false; }, 500);  // the old fade would have ended by now
    EXPECT_TRUE(card.isVisible());
    // The close button dismisses it.
    card.view()->closeButton()->click();
    EXPECT_TRUE(waitUntil([&] { return !card.isVisible(); }));
}

}  // namespace
}  // namespace tarrow
