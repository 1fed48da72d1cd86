#pragma once
// Running a shell script as root after the system has asked for the administrator's
// password. The script travels as an argument, never as a file, so nothing the user
// can write stands between the prompt and what runs as root.

#include <string>
#include <string_view>

#include "common/status.h"

namespace tarrow::platform {

inline constexpr const char* pkexecPath = "/usr/bin/pkexec";

// The shell the package installs for pkexec: its polkit actions name Tarrow and what the
// password is for, where plain /bin/sh makes the dialog say only that a shell runs as root.
inline constexpr const char* packagedAdminShell = "/usr/libexec/tarrow/tarrow-admin-shell";

// The root steps, each with a polkit action of its own, so that the password dialog is
// the one prompt and says what this password is for.
enum class AdminAction { setUp, remove };

// The polkit action's id ("de.brightloom.tarrow.set-up-helper", "….remove-helper").
std::string polkitAction(AdminAction action);
// The packaged shell's first argument, by which polkit picks the action ("set-up",
// "remove"; the policy's exec.argv1).
std::string_view adminShellWord(AdminAction action);

// The detail of runAsAdmin's failure when no polkit authentication agent runs, so that
// no password dialog can come up at all.
inline constexpr std::string_view noAgentDetail = "no polkit authentication agent runs";

// `shell` when it is a root-owned executable file that nobody else may change (so the
// dialog's promise holds for what runs), else /bin/sh.
std::string adminShell(const std::string& shell = packagedAdminShell);

// Runs `<shell> <word> -c <script>` (the packaged shell) or `/bin/sh -c <script>` through
// pkexec, whose own text prompt is turned off: the desktop's polkit agent asks for the
// password, never a terminal the user may not see. Waits for it. Ok when the script ended
// with status 0; otherwise "run" and pkexec when it cannot be started, or "run as root"
// and why the script did not run or failed (noAgentDetail, else its last line of output,
// else what its status means). `pkexec` and the shell are replaceable for tests.
Status runAsAdmin(const std::string& script, AdminAction action,
                  const std::string& pkexec = pkexecPath, const std::string& shell = adminShell());

// The macOS equivalent as AppleScript source: do shell script "…" with prompt "…" with
// administrator privileges.
std::string adminAppleScript(const std::string& script, const std::string& prompt);

}  // namespace tarrow::platform
