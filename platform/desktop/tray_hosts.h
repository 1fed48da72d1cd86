#pragma once
// Whether the desktop offers a tray right now, asked without Qt's tray classes: Qt decides
// between its two kinds of tray icon once, when the first one is made, and keeps to it.

namespace tarrow::platform {

// An XEmbed tray: some window owns the X11 selection _NET_SYSTEM_TRAY_S<screen>.
bool xembedTrayPresent();

// Whether an XEmbed tray shows the icon window: a tray docks an icon by making it a child
// of one of its own windows and mapping it; one that drops the request leaves it on the
// root, and two trays' sockets fighting over it can leave it unmapped.
bool xembedIconDocked(unsigned long window);

// A StatusNotifierItem tray: org.kde.StatusNotifierWatcher is on the session bus and
// reports a host that shows the items.
bool statusNotifierHostPresent();

}  // namespace tarrow::platform
