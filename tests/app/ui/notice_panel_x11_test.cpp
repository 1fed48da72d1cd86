#include <gtest/gtest.h>

#include <QApplication>
#include <cstring>

#include "app/ui/notice_panel.h"
#include "tests/support/xvfb.h"

// Qt's X11 platform asks the session bus for its theme and accessibility; libdbus keeps
// a buffer of that failed attempt until exit, which is not this program's leak.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}

namespace tarrow {
namespace {

// A private X server and an application on it, for the whole program.
class X11Environment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (!test::Xvfb::available()) return;
        if (xcb_connection_t* c = xvfb_.start(250 + getpid() % 100)) xcb_disconnect(c);
        setenv("DISPLAY", xvfb_.display.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        application_ = new QApplication(argc_, argv_);
    }
    void TearDown() override {
        delete application_;
        xvfb_.stop();
    }

  private:
    test::Xvfb xvfb_;
    int argc_ = 1;
    char name_[16] = "card_x11_test";
    char* argv_[2] = {name_, nullptr};
    QApplication* application_ = nullptr;
};
[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new X11Environment);

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
    // No compositing manager on this server: the rounded corners come from a mask.
    EXPECT_FALSE(card.mask().isEmpty());
    EXPECT_FALSE(card.mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(card.mask().contains(QPoint(card.width() / 2, card.height() / 2)));
}

}  // namespace
}  // namespace tarrow
