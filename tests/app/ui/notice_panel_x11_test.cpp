// The card on the private X server that settings_window_x11_test.cpp starts for this
// program.

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <cstring>

#include "app/ui/notice_panel.h"
#include "app/ui/notice_view.h"

namespace tarrow {
namespace {

uint32_t cardinal(xcb_window_t window, const char* name) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    auto* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(strlen(name)), name), nullptr);
    uint32_t value = 0;
    if (atom && atom->atom != XCB_ATOM_NONE) {
        auto* reply = xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, atom->atom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        if (reply && xcb_get_property_value_length(reply) == 4) {
            memcpy(&value, xcb_get_property_value(reply), 4);
        }
        free(reply);
    }
    free(atom);
    xcb_disconnect(c);
    return value;
}

TEST(CardOnX11, BelongsToEveryDesktopAndCutsItsCornersWithoutACompositor) {
    if (!QApplication::instance()) GTEST_SKIP() << "no Xvfb";
    ui::NoticePanel card;
    card.show("YouTube", "Blocked until you say okay.");
    QApplication::processEvents();
    EXPECT_EQ(cardinal(xcb_window_t(card.winId()), "_NET_WM_DESKTOP"), 0xFFFFFFFFu);
    // No compositing manager on this server: no shadow margin, and the rounded corners
    // come from a mask.
    EXPECT_EQ(card.size(), card.view()->size());
    EXPECT_FALSE(card.mask().isEmpty());
    EXPECT_FALSE(card.mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(card.mask().contains(QPoint(card.width() / 2, card.height() / 2)));
}

}  // namespace
}  // namespace tarrow
