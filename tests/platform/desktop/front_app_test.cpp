// Which application is in front: from the active window on a private X server; none
// can be told without a window manager or on Wayland.

#include "platform/desktop/front_app.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/xvfb.h"

namespace tarrow::platform {
namespace {

// What cannot be told counts as a browser: only a known other application is not one.
TEST(BrowserInFront, UnknownCountsAsABrowser) {
    const std::set<std::string> browsers = {"firefox-esr"};
    const Application editor{"org.gnome.TextEditor", "Edit"};
    for (const FrontApp& front :
         {FrontApp{}, FrontApp{true, std::nullopt}, FrontApp{true, Application{"", "x"}}})
        EXPECT_TRUE(browserInFront(front, browsers));
    EXPECT_TRUE(browserInFront(FrontApp{true, editor}, {}));
    EXPECT_FALSE(browserInFront(FrontApp{true, editor}, browsers));
}

// A private X server with one window made active by hand, as a window manager would.
class X11 : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!tarrow::test::Xvfb::available()) GTEST_SKIP() << "no Xvfb";
        c = xvfb.start();
        ASSERT_TRUE(c) << "Xvfb did not start";
        setenv("DISPLAY", xvfb.display.c_str(), 1);
        unsetenv("XDG_SESSION_TYPE");
    }
    void TearDown() override {
        if (c) xcb_disconnect(c);
    }
    xcb_atom_t atom(const char* name) {
        auto* reply =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
        xcb_atom_t a = reply->atom;
        free(reply);
        return a;
    }

    tarrow::test::Xvfb xvfb;
    xcb_connection_t* c = nullptr;
};

TEST_F(X11, ReadsTheActiveWindowsApplication) {
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    // No window manager has said anything yet: cannot be told.
    EXPECT_FALSE(frontApplication().told);

    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 10, 10, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    const char wmClass[] = "Navigator\0firefox-esr";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        sizeof wmClass, wmClass);
    const xcb_atom_t active = atom("_NET_ACTIVE_WINDOW");
    xcb_window_t none = XCB_WINDOW_NONE;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, screen->root, active, XCB_ATOM_WINDOW, 32, 1,
                        &none);
    tarrow::test::roundTrip(c);
    FrontApp nothing = frontApplication();
    EXPECT_TRUE(nothing.told);
    EXPECT_FALSE(nothing.app);

    xcb_change_property(c, XCB_PROP_MODE_REPLACE, screen->root, active, XCB_ATOM_WINDOW, 32, 1,
                        &window);
    tarrow::test::roundTrip(c);
    tarrow::test::TempFolder data;
    tarrow::test::writeFile(data / "applications/firefox-esr.desktop",
                            "[Desktop Entry]\nType=Application\nName=Firefox ESR\n"
                            "Exec=firefox-esr %u\nMimeType=x-scheme-handler/https;\n");
    setenv("XDG_DATA_HOME", data.path.c_str(), 1);
    setenv("XDG_DATA_DIRS", data.path.c_str(), 1);
    FrontApp front = frontApplication();
    ASSERT_TRUE(front.told);
    ASSERT_TRUE(front.app);
    EXPECT_EQ(front.app->id, "firefox-esr");
    EXPECT_EQ(front.app->name, "Firefox ESR");
    EXPECT_TRUE(browserInFront(front, installedBrowsers()));
    EXPECT_EQ(installedBrowsers(), std::set<std::string>{"firefox-esr"});

    setenv("XDG_SESSION_TYPE", "wayland", 1);
    EXPECT_FALSE(frontApplication().told);
    unsetenv("XDG_SESSION_TYPE");
}

}  // namespace
}  // namespace tarrow::platform
