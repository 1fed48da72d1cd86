#pragma once
// The helper's daemon mode: keeps the hosts file in step with the request file, woken
// by a watch on the request's folder and by a 3-second timer, until it is killed.

#include <sys/types.h>

#include <chrono>
#include <string>

#include "helper/pass.h"

namespace tarrow {

inline constexpr std::chrono::seconds daemonPeriod{3};
// The least time between two rewrites of the hosts file (at most four a second).
inline constexpr std::chrono::milliseconds rewriteGap{250};

// Never returns under normal operation; the state's log, flush and hosts path are used
// as given, and its notice is the daemon's own listener.
int runDaemon(HelperState state, const std::string& requestPath, uid_t uid);

// Creates the folder and any missing parents with this mode (the umask does not apply);
// existing folders keep theirs. Errors are ignored.
void makeFolders(const std::string& path, mode_t mode);

}  // namespace tarrow
