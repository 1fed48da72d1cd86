#pragma once
// Whether the desktop blends windows (a compositing manager runs), so that see-through
// window parts look see-through instead of black.

namespace tarrow::platform {

// True when not on X11 (Wayland always composites; off-screen rendering has alpha).
bool desktopComposites();

}  // namespace tarrow::platform
