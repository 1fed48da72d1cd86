#pragma once
// The application in front, as far as the desktop can tell. On X11 it is read from
// the window manager's _NET_ACTIVE_WINDOW, whose class and process lead to a desktop
// entry. Wayland does not tell other programs which window is active.

#include <optional>
#include <set>
#include <string>

#include "platform/desktop/browser_scripting.h"

namespace tarrow::platform {

struct FrontApp {
    bool told = false;               // false: the desktop cannot say
    std::optional<Application> app;  // none: no window is active
};

FrontApp frontApplication();

// Whether the front application is a web browser; true when it cannot be told, when
// none is in front, when it has no identifier, or when no browsers are known.
bool browserInFront(const FrontApp& front, const std::set<std::string>& browsers);

// The web browsers of this desktop, found once and kept.
const std::set<std::string>& installedBrowsers();

}  // namespace tarrow::platform
