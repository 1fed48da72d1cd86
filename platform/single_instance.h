#pragma once
// One running copy of the app per user: an exclusive flock on a lock file that holds
// the holder's process id. The kernel releases the lock when the process ends, however
// it ends, so a crashed copy never blocks the next start.

#include <sys/types.h>

#include <string>
#include <variant>

#include "common/status.h"

namespace tarrow::platform {

struct InstanceHeld {
    int fd = -1;  // kept open for the life of the process
};
struct InstanceRunning {
    pid_t pid = 0;  // 0 when the other copy has not written its id yet
};
using Instance = std::variant<InstanceHeld, InstanceRunning>;

// Takes the lock at lockPath, or reports the copy that holds it; a failure ("open" or
// "lock") when neither can be told.
Result<Instance> claimInstance(const std::string& lockPath);

// Whether a copy holds the lock at lockPath, without taking it for this process: for
// the commands that only talk to a running copy. False when there is no lock file.
bool instanceRunning(const std::string& lockPath);

// "$XDG_RUNTIME_DIR/tarrow.lock" when that variable names a folder, otherwise
// "tarrow.lock" in the state folder.
std::string instanceLockPath(const std::string& stateFolder);

}  // namespace tarrow::platform
