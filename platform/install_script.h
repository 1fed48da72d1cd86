#pragma once
// The root shell scripts that install and remove the helper. They are built as text
// here and run by the admin runner; nothing in this file touches the system.

#include <sys/types.h>

#include <string>
#include <string_view>

namespace tarrow::platform {

// What an installation puts in place.
struct HelperInstall {
    std::string bundledHelper;  // the helper executable that ships with the app
    std::string digest;         // its SHA-256 as 64 lower-case hex characters
    std::string requestPath;    // the file the daemon follows
    uid_t uid = 0;              // the user whose request file it trusts
};

// False when the request path cannot be handed to the daemon safely: it holds a
// line-break character (LF, VT, FF, CR, U+0085, U+2028, U+2029) or NUL, which could
// end a line of the script or of the service file, or (Linux) it is not absolute UTF-8.
bool usableRequestPath(std::string_view path);

inline constexpr std::string_view helperMismatchMessage =
    "The helper in the app does not match this version of Tarrow.";
inline constexpr std::string_view helperStillRunningMessage = "The helper is still running.";

// The launchd variant, line for line as it runs on macOS.
std::string macInstallScript(const HelperInstall& install);
std::string macRemovalScript();

// The systemd variant. `root` is prepended to every system path the script touches,
// so that it can run against a scratch folder; "" is the real system.
std::string linuxInstallScript(const HelperInstall& install, const std::string& root = "");
std::string linuxRemovalScript(const std::string& root = "");

// The variant of this platform.
std::string installScript(const HelperInstall& install);
std::string removalScript();

// The prompts of the macOS password dialog. On Linux the polkit policy's actions carry
// the dialog's messages (packaging/de.brightloom.tarrow.policy).
std::string installPrompt();
std::string removalPrompt();

}  // namespace tarrow::platform
