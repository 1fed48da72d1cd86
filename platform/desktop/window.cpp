#include "platform/desktop/window.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

#include "platform/desktop/x_connection.h"

namespace tarrow::platform {

bool showOnAllDesktops(uint32_t window) {
    std::optional<XConnection> x = xConnection();
    if (!x || window == 0) return false;
    xcb_connection_t* c = x->connection;
    bool set = false;
    const char name[] = "_NET_WM_DESKTOP";
    auto* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    if (atom) {
        const uint32_t everyDesktop = 0xFFFFFFFF;
        auto cookie = xcb_change_property_checked(c, XCB_PROP_MODE_REPLACE, window, atom->atom,
                                                  XCB_ATOM_CARDINAL, 32, 1, &everyDesktop);
        xcb_generic_error_t* error = xcb_request_check(c, cookie);
        set = error == nullptr;
        std::free(error);
        std::free(atom);
    }
    return set;
}

}  // namespace tarrow::platform
