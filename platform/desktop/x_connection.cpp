#include "platform/desktop/x_connection.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <mutex>

namespace tarrow::platform {

std::optional<XConnection> xConnection() {
    static std::mutex mutex;
    static XConnection kept;
    std::lock_guard lock(mutex);
    if (kept.connection && !xcb_connection_has_error(kept.connection)) return kept;
    if (kept.connection) xcb_disconnect(kept.connection);  // the server went away
    kept = {};
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return std::nullopt;
    int screen = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return std::nullopt;
    }
    kept = {c, screen};
    return kept;
}

}  // namespace tarrow::platform
