#include "platform/desktop/wake_watch.h"

#include <QDBusConnection>
#include <QDBusError>

namespace tarrow::platform {

WakeWatch::WakeWatch(std::function<void()> woke, QObject* parent)
    : QObject(parent), woke_(std::move(woke)) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        problem_ = bus.lastError().message();
        return;
    }
    // Qt's D-Bus delivers signals to named slots only. Only the owner of logind's name
    // can send this signal on the system bus.
    listening_ = bus.connect("org.freedesktop.login1", "/org/freedesktop/login1",
                             "org.freedesktop.login1.Manager", "PrepareForSleep", this,
                             SLOT(prepareForSleep(bool)));
    if (!listening_) problem_ = bus.lastError().message();
}

void WakeWatch::prepareForSleep(bool goingToSleep) {
    if (!goingToSleep && woke_) woke_();
}

}  // namespace tarrow::platform
