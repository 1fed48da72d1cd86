#include "platform/desktop/compositing.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/desktop/x_connection.h"

namespace tarrow::platform {

bool desktopComposites() {
    const char* qpa = std::getenv("QT_QPA_PLATFORM");
    const char* display = std::getenv("DISPLAY");
    if ((qpa && std::strncmp(qpa, "xcb", 3) != 0) || !display || !*display) return true;
    std::optional<XConnection> x = xConnection();
    if (!x) return true;
    xcb_connection_t* c = x->connection;
    bool composites = true;
    // A compositing manager owns the selection _NET_WM_CM_S<screen>.
    const std::string name = "_NET_WM_CM_S" + std::to_string(x->screen);
    auto* atom = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.c_str()), nullptr);
    if (atom) {
        auto* owner =
            xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr);
        composites = owner && owner->owner != XCB_WINDOW_NONE;
        std::free(owner);
        std::free(atom);
    }
    return composites;
}

}  // namespace tarrow::platform
