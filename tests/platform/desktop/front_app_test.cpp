// Which application is in front, from the active window on a private X server; what
// cannot be told (no window manager, Wayland, an unknown window) counts as a browser.

#include "platform/desktop/front_app.h"

#include <gtest/gtest.h>

#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/xvfb.h"

namespace tarrow::platform {
namespace {

TEST(FrontApp, TheActiveWindowsApplication) {
    const Application editor{"org.gnome.TextEditor", "Edit"};
    EXPECT_TRUE(browserInFront(FrontApp{true, std::nullopt}, {"firefox-esr"}));
    EXPECT_TRUE(browserInFront(FrontApp{true, editor}, {}));
    EXPECT_FALSE(browserInFront(FrontApp{true, editor}, {"firefox-esr"}));

    if (!test::Xvfb::available()) GTEST_SKIP() << "no Xvfb";
    test::Xvfb xvfb;
    xcb_connection_t* c = xvfb.start();
    ASSERT_TRUE(c) << "Xvfb did not start";
    test::TempFolder data;
    test::writeFile(data / "applications/firefox-esr.desktop",
                    "[Desktop Entry]\nType=Application\nName=Firefox ESR\n"
                    "Exec=firefox-esr %u\nMimeType=x-scheme-handler/https;\n");
    test::ScopedEnvironment env;
    env.set("DISPLAY", xvfb.display);
    env.set("XDG_SESSION_TYPE", nullptr);
    env.set("XDG_DATA_HOME", data.path);
    env.set("XDG_DATA_DIRS", data.path);
    EXPECT_FALSE(frontApplication().told) << "no window manager has said anything";
    // A window of Firefox's class made the active one, as a window manager says it.
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 10, 10, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    const char wmClass[] = "Navigator\0firefox-esr";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        sizeof wmClass, wmClass);
    auto* active =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, 18, "_NET_ACTIVE_WINDOW"), nullptr);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, screen->root, active->atom, XCB_ATOM_WINDOW, 32,
                        1, &window);
    free(active);
    test::roundTrip(c);
    const FrontApp front = frontApplication();
    ASSERT_TRUE(front.told && front.app);
    EXPECT_EQ(front.app->id + "/" + front.app->name, "firefox-esr/Firefox ESR");
    EXPECT_EQ(installedBrowsers(), std::set<std::string>{"firefox-esr"});
    env.set("XDG_SESSION_TYPE", "wayland");
    EXPECT_FALSE(frontApplication().told);
    xcb_disconnect(c);
}

}  // namespace
}  // namespace tarrow::platform
