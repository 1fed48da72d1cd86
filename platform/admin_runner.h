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

// Runs `/bin/sh -c <script>` through pkexec (the desktop's polkit agent asks for the
// password) and waits for it. `pkexec` is replaceable for tests.
AdminOutcome runAsAdmin(const std::string& script, const std::string& pkexec = pkexecPath);

// The macOS equivalent as AppleScript source: do shell script "…" with prompt "…" with
// administrator privileges.
std::string adminAppleScript(const std::string& script, const std::string& prompt);

}  // namespace tarrow::platform
