#pragma once
// Running a shell script as root after the system has asked for the administrator's
// password. The script travels as an argument, never as a file, so nothing the user
// can write stands between the prompt and what runs as root.

#include <string>

#include "common/status.h"

namespace tarrow::platform {

inline constexpr const char* pkexecPath = "/usr/bin/pkexec";

// Runs `/bin/sh -c <script>` through pkexec (the desktop's polkit agent asks for the
// password) and waits for it. Ok when the script ended with status 0; otherwise "run"
// and pkexec when it cannot be started, or "run as root" and why the script did not run
// or failed (its last line of output, else what its status means). `pkexec` is
// replaceable for tests.
Status runAsAdmin(const std::string& script, const std::string& pkexec = pkexecPath);

// The macOS equivalent as AppleScript source: do shell script "…" with prompt "…" with
// administrator privileges.
std::string adminAppleScript(const std::string& script, const std::string& prompt);

}  // namespace tarrow::platform
