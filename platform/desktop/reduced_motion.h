#pragma once
// Whether the user asked the desktop for less motion, read once at start and followed
// as it changes: the settings portal on the session bus where there is one (its
// appearance namespace, else the GNOME or KDE keys it passes on); without a portal,
// KDE's kdeglobals on KDE, GNOME's enable-animations through gsettings elsewhere.

#include <QFileSystemWatcher>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <string_view>

class QDBusVariant;

namespace tarrow::platform {

// One setting that says it, as the portal names it.
struct MotionKey {
    const char* space;
    const char* key;
};
// In the order they are asked: the portal's own, then GNOME's, then KDE's.
inline constexpr MotionKey motionKeys[] = {
    {"org.freedesktop.appearance", "reduced-motion"},  // 1: reduced, 0: no preference
    {"org.gnome.desktop.interface", "enable-animations"},
    {"org.kde.kdeglobals.KDE", "AnimationDurationFactor"},  // 0: no animations
};

// Whether a portal value asks for less motion; none when the value is not of its kind.
std::optional<bool> reducedFromPortal(const MotionKey& key, const QVariant& value);
// `gsettings get …` ("false") or a line of `gsettings monitor …` ("enable-animations:
// false"): reduced when animations are off.
std::optional<bool> reducedFromGsettings(std::string_view output);
// kdeglobals: reduced when [KDE] AnimationDurationFactor is 0; none when it is not set.
std::optional<bool> reducedFromKdeglobals(std::string_view text);

class MotionWatch : public QObject {
    Q_OBJECT

  public:
    // `changed` runs when the setting changes after the start (not for the first reading).
    explicit MotionWatch(std::function<void(bool reduced)> changed, QObject* parent = nullptr);
    ~MotionWatch() override;

    bool reduced() const { return reduced_; }
    // Where the setting came from, for the log: "the settings portal", "kdeglobals",
    // "gsettings", or "nothing" (no setting found: full motion).
    const QString& source() const { return source_; }

  private slots:
    void settingChanged(const QString& space, const QString& key, const QDBusVariant& value);

  private:
    bool fromPortal();
    bool fromKdeglobals();
    bool fromGsettings();
    void take(std::optional<bool> reduced);

    std::function<void(bool)> changed_;
    bool reduced_ = false;
    QString source_ = QStringLiteral("nothing");
    const MotionKey* portalKey_ = nullptr;
    QString kdeglobals_;
    QFileSystemWatcher files_;
    QProcess monitor_;
};

}  // namespace tarrow::platform
