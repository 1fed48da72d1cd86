#pragma once
// Emptying the request when the app is told to end by a signal.

#include <atomic>
#include <chrono>
#include <string>

namespace tarrow::platform {

// Copies requestPath once, then installs one handler for SIGTERM, SIGINT and SIGHUP
// that truncates that file (without creating it) and ends the process with status 0.
// The handler uses only open, close and _exit. Returns false when the path does not
// fit the prepared buffer or a handler cannot be installed.
bool emptyRequestOnSignals(const std::string& requestPath);

// From now on the handler, after emptying the request, waits while *busy is true (a save
// under way), at most `limit`, before it ends the process; when the save is still going
// then, it says so on standard error. Null: no wait. Any thread that sets *busy must
// block these signals, or the handler could wait on itself.
void waitOnSignalsWhile(const std::atomic<bool>* busy, std::chrono::milliseconds limit);

}  // namespace tarrow::platform
