#include "platform/desktop/app_activation.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QTimer>

namespace tarrow::platform {

namespace {

constexpr int callMilliseconds = 2000;

}  // namespace

QString objectPath(const QString& appId) {
    return "/" + QString(appId).replace('.', '/');
}

AppActivation::AppActivation(const QString& appId, Handlers handlers, QObject* parent)
    : QObject(parent), appId_(appId), handlers_(std::move(handlers)) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        problem_ = "no session bus: " + bus.lastError().message();
        return;
    }
    if (!bus.registerObject(objectPath(appId), this, QDBusConnection::ExportAllSlots)) {
        problem_ = "cannot serve " + objectPath(appId) + ": " + bus.lastError().message();
        return;
    }
    if (!bus.registerService(appId)) {
        problem_ = "cannot take the name " + appId + ": " + bus.lastError().message();
        bus.unregisterObject(objectPath(appId));
        return;
    }
    serving_ = true;
}

AppActivation::~AppActivation() {
    if (!serving_) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(appId_);
    bus.unregisterObject(objectPath(appId_));
}

bool AppActivation::callerIsUs() {
    if (!calledFromDBus()) return true;
    QDBusReply<uint> uid = connection().interface()->serviceUid(message().service());
    if (uid.isValid() && uid.value() == ::getuid()) return true;
    sendErrorReply(QDBusError::AccessDenied, "not the user of this session");
    return false;
}

void AppActivation::takeStartupToken(const QVariantMap& platformData) {
    // Lets the compositor (Wayland) or the window manager (X11) raise our window for the
    // start the user just made, instead of refusing it as a window stealing focus.
    const QString token = platformData.value("activation-token").toString();
    if (!token.isEmpty()) qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
    const QString startup = platformData.value("desktop-startup-id").toString();
    if (!startup.isEmpty()) qputenv("DESKTOP_STARTUP_ID", startup.toUtf8());
}

// The work runs after the reply is sent, so the caller never waits for a window.
void AppActivation::Activate(const QVariantMap& platformData) {
    if (!callerIsUs()) return;
    takeStartupToken(platformData);
    if (handlers_.activate) QTimer::singleShot(0, this, handlers_.activate);
}

void AppActivation::Open(const QStringList&, const QVariantMap& platformData) {
    Activate(platformData);  // the app opens no files
}

void AppActivation::ActivateAction(const QString& name, const QVariantList&,
                                   const QVariantMap& platformData) {
    if (!callerIsUs()) return;
    takeStartupToken(platformData);
    if (handlers_.action) QTimer::singleShot(0, this, [this, name] { handlers_.action(name); });
}

Reached activateRunning(const QString& appId, pid_t pid) {
    // The bus connection needs an application object; this process only makes this call.
    static int argc = 1;
    static char name[] = "tarrow";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return Reached::unreachable;
    QDBusReply<uint> owner = bus.interface()->servicePid(appId);
    if (!owner.isValid() || (pid > 0 && owner.value() != static_cast<uint>(pid)))
        return Reached::unreachable;
    QVariantMap platformData;
    for (auto [variable, key] : {std::pair{"XDG_ACTIVATION_TOKEN", "activation-token"},
                                 std::pair{"DESKTOP_STARTUP_ID", "desktop-startup-id"}}) {
        if (qEnvironmentVariableIsSet(variable))
            platformData.insert(key, qEnvironmentVariable(variable));
    }
    QDBusMessage call = QDBusMessage::createMethodCall(appId, objectPath(appId),
                                                       "org.freedesktop.Application", "Activate");
    call << platformData;
    QDBusMessage reply = bus.call(call, QDBus::Block, callMilliseconds);
    return reply.type() == QDBusMessage::ReplyMessage ? Reached::activated : Reached::unreachable;
}

}  // namespace tarrow::platform
