// The desktop questions the app asks on every hit share one X connection.
// Linked with --wrap=xcb_connect, so every connection opened is counted.

#include "platform/desktop/x_connection.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdlib>

#include "platform/desktop/compositing.h"
#include "platform/desktop/front_app.h"
#include "platform/desktop/window.h"
#include "tests/support/xvfb.h"

namespace {
int connects = 0;
}

extern "C" xcb_connection_t* __real_xcb_connect(const char* display, int* screen);
extern "C" xcb_connection_t* __wrap_xcb_connect(const char* display, int* screen) {
    ++connects;
    return __real_xcb_connect(display, screen);
}

namespace tarrow::platform {
namespace {

TEST(XConnection, OnePerProcessForEveryQuestion) {
    if (!test::Xvfb::available()) GTEST_SKIP() << "no Xvfb";
    test::Xvfb server;
    xcb_connection_t* probe = server.start();
    ASSERT_TRUE(probe) << "the private X server did not start";
    ::setenv("DISPLAY", server.display.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    ::unsetenv("XDG_SESSION_TYPE");

    // A window of the test's own, as the card's would be.
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(probe)).data;
    xcb_window_t window = xcb_generate_id(probe);
    xcb_create_window(probe, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 10, 10, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    test::roundTrip(probe);

    connects = 0;
    for (int hit = 0; hit < 3; ++hit) {                 // what each hit asks
        EXPECT_TRUE(frontApplication().told == false);  // no window manager here
        EXPECT_FALSE(desktopComposites());
        EXPECT_TRUE(showOnAllDesktops(window));
    }
    EXPECT_EQ(connects, 1);
    ASSERT_TRUE(xConnection());
    EXPECT_EQ(connects, 1);
    xcb_disconnect(probe);
}

}  // namespace
}  // namespace tarrow::platform
