#pragma once
// Emptying the request when the app is told to end by a signal.

#include <string>

namespace tarrow::platform {

// Copies requestPath once, then installs one handler for SIGTERM, SIGINT and SIGHUP
// that truncates that file (without creating it) and ends the process with status 0.
// The handler uses only open, close and _exit. Returns false when the path does not
// fit the prepared buffer or a handler cannot be installed.
bool emptyRequestOnSignals(const std::string& requestPath);

}  // namespace tarrow::platform
