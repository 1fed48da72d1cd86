#include "app/ui/card_place.h"

#include <gtest/gtest.h>

#include <ostream>

void PrintTo(const QPoint& point, std::ostream* out) {
    *out << "(" << point.x() << ", " << point.y() << ")";
}

namespace tarrow::ui {
namespace {

TEST(CardPlace, CentredExactlyAndCutToWholePixels) {
    struct Case {
        QRect visible;
        QSize card;
        QPoint place;
    };
    const Case cases[] = {
        {QRect(0, 0, 1920, 1080), QSize(380, 160), QPoint(770, 460)},
        {QRect(0, 27, 1366, 741), QSize(380, 171), QPoint(493, 312)},        // a panel on top
        {QRect(100, 0, 1001, 801), QSize(381, 161), QPoint(410, 320)},       // odd on both sides
        {QRect(0, 0, 1001, 801), QSize(380, 160), QPoint(310, 320)},         // halves cut down
        {QRect(-1920, 0, 1920, 1080), QSize(380, 160), QPoint(-1150, 460)},  // left screen
        {QRect(0, 0, 300, 200), QSize(380, 160), QPoint(-40, 20)},  // wider than the screen
        {QRect(0, 0, 301, 201), QSize(380, 160), QPoint(-40, 20)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cardPlace(c.visible, c.card), c.place)
            << c.visible.x() << "," << c.visible.y() << " " << c.visible.width() << "x"
            << c.visible.height() << " card " << c.card.width() << "x" << c.card.height();
    }
}

}  // namespace
}  // namespace tarrow::ui
