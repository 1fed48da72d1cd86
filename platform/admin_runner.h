#pragma once
// Running a shell script as root after the system has asked for the administrator's
// password. The script travels as an argument, never as a file, so nothing the user
// can write stands between the prompt and what runs as root.

#include <string>

namespace tarrow::platform {

struct AdminOutcome {
    bool ok = false;
    std::string message;  // why it did not run or failed; empty when ok
};

inline constexpr const char* pkexecPath = "/usr/bin/pkexec";

// The shell the package installs for pkexec: its polkit action names Tarrow and what the
// password is for, where plain /bin/sh makes the dialog say only that a shell runs as root.
inline constexpr const char* packagedAdminShell = "/usr/libexec/tarrow/tarrow-admin-shell";

// `shell` when it is a root-owned executable file that nobody else may change (so the
// dialog's promise holds for what runs), else /bin/sh.
std::string adminShell(const std::string& shell = packagedAdminShell);

// Runs `<shell> -c <script>` through pkexec (the desktop's polkit agent asks for the
// password) and waits for it. `pkexec` and the shell are replaceable for tests.
AdminOutcome runAsAdmin(const std::string& script, const std::string& pkexec = pkexecPath,
                        const std::string& shell = adminShell());

// The macOS equivalent as AppleScript source: do shell script "…" with prompt "…" with
// administrator privileges.
std::string adminAppleScript(const std::string& script, const std::string& prompt);

}  // namespace tarrow::platform
