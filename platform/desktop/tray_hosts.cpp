#include "platform/desktop/tray_hosts.h"

#include <xcb/xcb.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <cstdlib>
#include <string>

#include "platform/desktop/x_connection.h"

namespace tarrow::platform {

bool xembedTrayPresent() {
    std::optional<XConnection> x = xConnection();
    if (!x) return false;
    xcb_connection_t* c = x->connection;
    const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(x->screen);
    auto* atom = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.c_str()), nullptr);
    if (!atom) return false;
    auto* owner = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr);
    const bool present = owner && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    std::free(atom);
    return present;
}

bool xembedIconDocked(unsigned long window) {
    std::optional<XConnection> x = xConnection();
    if (!x || window == 0) return false;
    auto* tree = xcb_query_tree_reply(x->connection,
                                      xcb_query_tree(x->connection, xcb_window_t(window)), nullptr);
    const bool inTray = tree && tree->parent != XCB_WINDOW_NONE && tree->parent != tree->root;
    std::free(tree);
    if (!inTray) return false;
    auto* attributes = xcb_get_window_attributes_reply(
        x->connection, xcb_get_window_attributes(x->connection, xcb_window_t(window)), nullptr);
    const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(attributes);
    return viewable;
}

bool statusNotifierHostPresent() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()) return false;
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusReply<bool> registered = bus.interface()->isServiceRegistered(watcher);
    if (!registered.isValid() || !registered.value()) return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcher, QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << watcher << QStringLiteral("IsStatusNotifierHostRegistered");
    // A watcher that hangs must not hold up the app for long.
    QDBusReply<QDBusVariant> host = bus.call(get, QDBus::Block, 500);
    return host.isValid() && host.value().variant().toBool();
}

}  // namespace tarrow::platform
