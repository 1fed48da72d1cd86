#pragma once
// org.freedesktop.Application on the session bus: how GNOME, KDE and other desktops reach
// an app that runs already (its desktop entry says DBusActivatable=true), and how a second
// start of the app reaches the first.

#include <sys/types.h>

#include <QDBusContext>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <functional>

namespace tarrow::platform {

class AppActivation : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

  public:
    struct Handlers {
        std::function<void()> activate;                   // show the app
        std::function<void(const QString& name)> action;  // a desktop action
    };
    // Takes the bus name `appId` and serves the interface at its object path.
    AppActivation(const QString& appId, Handlers handlers, QObject* parent = nullptr);
    ~AppActivation() override;

    // False when the session bus or the name could not be had; then `problem` says why.
    bool serving() const { return serving_; }
    const QString& problem() const { return problem_; }

  public slots:  // the interface's methods; callers of another user are refused
    void Activate(const QVariantMap& platformData);
    void Open(const QStringList& uris, const QVariantMap& platformData);
    void ActivateAction(const QString& name, const QVariantList& parameter,
                        const QVariantMap& platformData);

  private:
    bool callerIsUs();
    void takeStartupToken(const QVariantMap& platformData);

    QString appId_;
    Handlers handlers_;
    bool serving_ = false;
    QString problem_;
};

// "/de/brightloom/tarrow" for "de.brightloom.tarrow".
QString objectPath(const QString& appId);

enum class Reached { activated, unreachable };

// Asks the copy that owns `appId` on the session bus to come to the front, passing on this
// process's start-up token. Unreachable when there is no bus, no owner, or an owner other
// than process `pid` (when pid is known).
Reached activateRunning(const QString& appId, pid_t pid);

}  // namespace tarrow::platform
