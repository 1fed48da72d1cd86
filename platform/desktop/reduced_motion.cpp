#include "platform/desktop/reduced_motion.h"

#include <sys/prctl.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <csignal>
#include <cstdlib>
#include <string>

namespace tarrow::platform {

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString portalSettings = QStringLiteral("org.freedesktop.portal.Settings");
constexpr int portalWaitMs = 1000;
constexpr int gsettingsWaitMs = 2000;

// The portal wraps its values in variants (Read twice, ReadOne and the signal once).
QVariant unwrapped(QVariant value) {
    while (value.userType() == qMetaTypeId<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

std::string_view trimmed(std::string_view s) {
    const size_t begin = s.find_first_not_of(" \t\r\n");
    if (begin == std::string_view::npos) return {};
    return s.substr(begin, s.find_last_not_of(" \t\r\n") - begin + 1);
}

}  // namespace

std::optional<bool> reducedFromPortal(const MotionKey& key, const QVariant& value) {
    const std::string_view name = key.key;
    const QVariant v = unwrapped(value);
    bool ok = false;
    if (name == "reduced-motion") {
        const uint preference = v.toUInt(&ok);
        if (ok && v.userType() != QMetaType::QString) return preference == 1;
    } else if (name == "enable-animations") {
        if (v.userType() == QMetaType::Bool) return !v.toBool();
    } else if (name == "AnimationDurationFactor") {
        const double factor = v.toDouble(&ok);
        if (ok) return factor <= 0.0;
    }
    return std::nullopt;
}

std::optional<bool> reducedFromGsettings(std::string_view output) {
    const std::string_view text = trimmed(output);
    const size_t space = text.find_last_of(" \t");
    const std::string_view word = space == std::string_view::npos ? text : text.substr(space + 1);
    if (word == "true") return false;
    if (word == "false") return true;
    return std::nullopt;
}

std::optional<bool> reducedFromKdeglobals(std::string_view text) {
    enum { unset, full, less } found = unset;  // the last line that sets it counts
    bool inKde = false;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.starts_with('[')) {
            inKde = line == "[KDE]";
            continue;
        }
        const size_t equals = line.find('=');
        if (!inKde || equals == std::string_view::npos ||
            trimmed(line.substr(0, equals)) != "AnimationDurationFactor")
            continue;
        const std::string number(trimmed(line.substr(equals + 1)));
        char* rest = nullptr;
        const double factor = std::strtod(number.c_str(), &rest);
        found = (number.empty() || *rest) ? unset : factor <= 0.0 ? less : full;
    }
    if (found == unset) return std::nullopt;
    return found == less;
}

MotionWatch::MotionWatch(std::function<void(bool)> changed, QObject* parent)
    : QObject(parent), changed_(std::move(changed)) {
    const bool kde = QString::fromLocal8Bit(qgetenv("XDG_CURRENT_DESKTOP")).contains("KDE");
    const std::function<void(bool)> later = std::move(changed_);
    // The first reading is the start state, not a change.
    if (!fromPortal() && !(kde && fromKdeglobals())) fromGsettings();
    changed_ = later;
}

MotionWatch::~MotionWatch() {
    if (monitor_.state() != QProcess::NotRunning) {
        monitor_.kill();
        monitor_.waitForFinished(gsettingsWaitMs);
    }
}

void MotionWatch::take(std::optional<bool> reduced) {
    if (!reduced || *reduced == reduced_) return;
    reduced_ = *reduced;
    if (changed_) changed_(reduced_);
}

bool MotionWatch::fromPortal() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    for (const MotionKey& key : motionKeys) {
        // ReadOne since the portal's second version; Read before it.
        for (const char* method : {"ReadOne", "Read"}) {
            QDBusMessage call =
                QDBusMessage::createMethodCall(portalService, portalPath, portalSettings, method);
            call << QString::fromLatin1(key.space) << QString::fromLatin1(key.key);
            const QDBusMessage reply = bus.call(call, QDBus::Block, portalWaitMs);
            if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
                const std::optional<bool> reduced = reducedFromPortal(key, reply.arguments()[0]);
                if (!reduced) break;
                reduced_ = *reduced;
                portalKey_ = &key;
                source_ = QStringLiteral("the settings portal");
                // Qt's D-Bus delivers signals to named slots only.
                bus.connect(portalService, portalPath, portalSettings,
                            QStringLiteral("SettingChanged"), this,
                            SLOT(settingChanged(QString, QString, QDBusVariant)));
                return true;
            }
            const QString error = reply.errorName();
            if (error == "org.freedesktop.DBus.Error.UnknownMethod") continue;
            // No portal at all, or one that does not answer: the other ways.
            if (error != "org.freedesktop.portal.Error.NotFound") return false;
            break;
        }
    }
    return false;
}

void MotionWatch::settingChanged(const QString& space, const QString& key,
                                 const QDBusVariant& value) {
    if (!portalKey_ || space != QLatin1String(portalKey_->space) ||
        key != QLatin1String(portalKey_->key))
        return;
    take(reducedFromPortal(*portalKey_, value.variant()));
}

bool MotionWatch::fromKdeglobals() {
    kdeglobals_ =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/kdeglobals";
    const auto read = [this] {
        QFile file(kdeglobals_);
        if (!file.open(QIODevice::ReadOnly)) return false;
        const QByteArray text = file.readAll();
        // Not set means KDE's default speed.
        take(reducedFromKdeglobals(std::string_view(text.constData(), size_t(text.size())))
                 .value_or(false));
        return true;
    };
    read();
    source_ = QStringLiteral("kdeglobals");
    // KDE replaces the file by renaming a new one over it: watch its folder as well.
    files_.addPath(QFileInfo(kdeglobals_).absolutePath());
    if (QFileInfo::exists(kdeglobals_)) files_.addPath(kdeglobals_);
    const auto reread = [this, read] {
        if (read() && !files_.files().contains(kdeglobals_)) files_.addPath(kdeglobals_);
    };
    connect(&files_, &QFileSystemWatcher::fileChanged, this, reread);
    connect(&files_, &QFileSystemWatcher::directoryChanged, this, reread);
    return true;
}

bool MotionWatch::fromGsettings() {
    const QString gsettings = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
    if (gsettings.isEmpty()) return false;
    const QStringList where{QStringLiteral("org.gnome.desktop.interface"),
                            QStringLiteral("enable-animations")};
    QProcess get;
    get.start(gsettings, QStringList{QStringLiteral("get")} + where);
    if (!get.waitForFinished(gsettingsWaitMs) || get.exitStatus() != QProcess::NormalExit ||
        get.exitCode() != 0)
        return false;
    const QByteArray out = get.readAllStandardOutput();
    const std::optional<bool> reduced =
        reducedFromGsettings(std::string_view(out.constData(), size_t(out.size())));
    if (!reduced) return false;
    reduced_ = *reduced;
    source_ = QStringLiteral("gsettings");
    connect(&monitor_, &QProcess::readyReadStandardOutput, this, [this] {
        while (monitor_.canReadLine()) {
            const QByteArray line = monitor_.readLine();
            take(reducedFromGsettings(std::string_view(line.constData(), size_t(line.size()))));
        }
    });
    // The monitor ends with the app, also when the app ends without unwinding.
    monitor_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    monitor_.start(gsettings, QStringList{QStringLiteral("monitor")} + where);
    return true;
}

}  // namespace tarrow::platform
