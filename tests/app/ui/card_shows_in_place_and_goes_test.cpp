// The card shows centred in the screen's free area, never takes the focus, and goes by
// itself unless the pointer rests on it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QToolButton>

#include "app/ui/card_place.h"
#include "app/ui/mark.h"
#include "app/ui/notice_panel.h"
#include "app/ui/notice_view.h"
#include "tests/support/qt_app.h"
#include "tests/support/temp_folder.h"

namespace tarrow::ui {
namespace {

using test::waitUntil;

TEST(Card, CentredInTheFreeAreaToWholePixels) {
    const std::tuple<QRect, QSize, QPoint> cases[] = {
        {QRect(0, 0, 1920, 1080), QSize(380, 160), QPoint(770, 460)},
        {QRect(0, 27, 1366, 741), QSize(380, 171), QPoint(493, 312)},   // a panel on top
        {QRect(100, 0, 1001, 801), QSize(381, 161), QPoint(410, 320)},  // odd on both sides
        {QRect(-1920, 0, 1920, 1080), QSize(380, 160), QPoint(-1150, 460)},
        {QRect(0, 0, 301, 201), QSize(380, 160), QPoint(-40, 20)},  // wider than the screen
    };
    for (const auto& [visible, card, place] : cases)
        EXPECT_EQ(cardPlace(visible, card), place) << visible.y() << " " << card.height();
}

TEST(Card, ComesWithoutTheFocusAndGoesUnlessThePointerRests) {
    test::ensureQtApp();
    NoticePanel card;
    card.show("YouTube", "Blocked until you say okay.");
    EXPECT_TRUE(card.windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(card.testAttribute(Qt::WA_ShowWithoutActivating));
    ASSERT_TRUE(waitUntil([&] { return card.pos() == NoticePanel::placeFor(card.size()); }));
    EXPECT_FALSE(QApplication::focusWidget());
    card.show(QString(300, QChar('W')), QString(400, QChar('x')));
    EXPECT_EQ(card.view()->width(), 380) << "for any name";

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&card, &enter);
    card.schedule(std::chrono::milliseconds(50));
    waitUntil([] { return false; }, 400);
    EXPECT_TRUE(card.isVisible());  // put off again and again
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&card, &leave);
    card.schedule(std::chrono::milliseconds(50));
    EXPECT_TRUE(waitUntil([&] { return !card.isVisible(); }));

    card.show("YouTube", "one");  // shown again while fading out: back at once, and stays
    card.dismiss();
    card.show("Bild", "two");
    EXPECT_FALSE(card.dismissing());
    waitUntil([] { return false; }, 500);
    EXPECT_TRUE(card.isVisible());
    card.view()->closeButton()->click();
    EXPECT_TRUE(waitUntil([&] { return !card.isVisible(); }));
}

// The card's mark: an image in the resources folder replaces the drawn one, in the ink.
// Here the blocked state's image is the open state's drawing: no bar.
TEST(Card, TheMarkIsTheResourceImageWhereThereIsOne) {
    test::ensureQtApp();
    test::TempFolder resources;
    drawnMarkImage(false, 2).save(QString::fromStdString(resources / "menubar-blocked.png"));
    qputenv("TARROW_RESOURCES", resources.path.c_str());
    EXPECT_EQ(markImage(true, 2, Qt::red), drawnMarkImage(false, 2, Qt::red));
}

}  // namespace
}  // namespace tarrow::ui
