#pragma once
// Fixed names and system paths. The values differ per platform; the names do not.

#include <string_view>

#include "common/app_name.h"

namespace tarrow {

// The app id: the name of the desktop entry, the icons, the AppStream metadata and the
// app's name on the session bus.
inline constexpr std::string_view appId = "de.brightloom.tarrow";
inline constexpr std::string_view helperLabel = "de.brightloom.tarrow.helper";
inline constexpr std::string_view legacyHelperLabel = "de.brightloom.pinfold.helper";
inline constexpr std::string_view systemHostsPath = "/etc/hosts";

#ifdef __APPLE__
inline constexpr std::string_view helperPath =
    "/Library/PrivilegedHelperTools/de.brightloom.tarrow.helper";
inline constexpr std::string_view daemonPlistPath =
    "/Library/LaunchDaemons/de.brightloom.tarrow.helper.plist";
inline constexpr std::string_view hitsPath = "/Library/Application Support/Tarrow/hits";
inline constexpr std::string_view stillOpenPath = "/Library/Application Support/Tarrow/still-open";
inline constexpr std::string_view strictLockPath =
    "/Library/Application Support/Tarrow/strict-lock";
inline constexpr std::string_view helperLogPath = "/Library/Logs/Tarrow-helper.log";
#else
inline constexpr std::string_view helperPath = "/usr/local/libexec/de.brightloom.tarrow.helper";
// The service unit takes the place of the launch daemon's property list.
inline constexpr std::string_view daemonPlistPath =
    "/etc/systemd/system/de.brightloom.tarrow.helper.service";
inline constexpr std::string_view hitsPath = "/var/lib/Tarrow/hits";
// Blocked names that still resolve to a real address, beside the hits, for the app.
inline constexpr std::string_view stillOpenPath = "/var/lib/Tarrow/still-open";
// The strict lock the helper keeps: root's alone, so only root ends it early.
inline constexpr std::string_view strictLockPath = "/var/lib/Tarrow/strict-lock";
inline constexpr std::string_view helperLogPath = "/var/log/Tarrow-helper.log";
// The update manifest that points the Chromium family at the extension beside the helper.
inline constexpr std::string_view extensionUpdatesPath = "/var/lib/Tarrow/extension-updates.xml";
#endif

}  // namespace tarrow
