#pragma once
// What an X11 window manager is told about a small floating window beyond what Qt
// says: that it belongs on every virtual desktop.

#include <cstdint>

namespace tarrow::platform {

// Sets _NET_WM_DESKTOP to "all desktops" on the X11 window; a window manager reads
// it when the window is mapped. Does nothing off X11. True when it was set.
bool showOnAllDesktops(uint32_t window);

}  // namespace tarrow::platform
