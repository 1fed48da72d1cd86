#pragma once
// The app's own connection to the X server, for the small questions it asks the desktop
// on every hit (which window is active, whether a compositor runs, window hints).

#include <optional>

struct xcb_connection_t;

namespace tarrow::platform {

struct XConnection {
    xcb_connection_t* connection = nullptr;
    int screen = 0;  // the default screen's number
};

// Opened on first use and kept for the life of the process; opened again only after the
// server closed it. None without DISPLAY or when the server cannot be reached.
std::optional<XConnection> xConnection();

}  // namespace tarrow::platform
