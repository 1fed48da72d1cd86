#include "platform/desktop/window.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace tarrow::platform {

bool showOnAllDesktops(uint32_t window) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display || window == 0) return false;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    bool set = false;
    if (!xcb_connection_has_error(c)) {
        const char name[] = "_NET_WM_DESKTOP";
        auto* atom = xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
        if (atom) {
            const uint32_t everyDesktop = 0xFFFFFFFF;
            auto cookie = xcb_change_property_checked(c, XCB_PROP_MODE_REPLACE, window, atom->atom,
                                                      XCB_ATOM_CARDINAL, 32, 1, &everyDesktop);
            xcb_generic_error_t* error = xcb_request_check(c, cookie);
            set = error == nullptr;
            std::free(error);
            std::free(atom);
        }
    }
    xcb_disconnect(c);
    return set;
}

}  // namespace tarrow::platform
