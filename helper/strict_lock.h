#pragma once
// A strict lock: names the helper keeps blocked until an end, whatever the request says,
// taken from the app's strict request beside the request file and kept in a file of
// root's own, so that neither the app's death, a stale request, the helper's restart nor
// a reboot ends it. It can be lengthened, never shortened; only root removes it early.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarrow {

// A forward (or backward) jump of the wall clock against the boot-time clock beyond
// this moves the lock's end with it.
inline constexpr std::chrono::seconds clockJumpAtLeast{60};
// A lock file bigger than this is not the helper's.
inline constexpr off_t maxLockFileSize = 1000000;

struct StrictClock {
    std::function<std::chrono::sys_seconds()> wall;
    std::function<std::chrono::nanoseconds()> boot;  // runs on while suspended
};
StrictClock systemStrictClock();

struct StrictLock {
    std::vector<std::string> names;
    std::chrono::sys_seconds until{};
    std::chrono::sys_seconds taken{};
    bool operator==(const StrictLock&) const = default;
};

class StrictKeeper {
  public:
    using Log = std::function<void(std::string_view)>;
    // `owner` is whom the lock file must belong to: the helper's own user.
    StrictKeeper(std::string lockPath, uid_t owner, StrictClock clock = systemStrictClock());

    // Once a pass: reads the lock file the first time, moves the end with a jump of the
    // clock, takes or lengthens the lock from the strict request beside `requestPath`,
    // drops an ended lock and keeps the file in step. The names to keep blocked.
    const std::vector<std::string>& update(const std::string& requestPath, uid_t uid,
                                           const Log& log);

    const std::optional<StrictLock>& lock() const { return lock_; }

  private:
    void load(const Log& log);
    void followClock(std::chrono::sys_seconds wall, const Log& log);
    void take(const std::string& requestPath, uid_t uid, std::chrono::sys_seconds wall,
              const Log& log);
    void keepFile(const Log& log);
    void refuse(const std::string& why, const Log& log);

    std::string path_;
    uid_t owner_;
    StrictClock clock_;
    bool loaded_ = false;
    std::optional<StrictLock> lock_;
    std::vector<std::string> none_;
    // The clocks when the wall clock was last known to be right.
    std::optional<std::pair<std::chrono::sys_seconds, std::chrono::nanoseconds>> reference_;
    std::optional<std::string> saved_;  // what the lock file holds, as this helper wrote it
    std::string saveProblem_;           // logged once
    std::optional<std::string> seen_;   // the strict request last looked at
    bool requestUntrusted_ = false;     // logged once
};

// Request names first, then the lock's names the request lacks.
std::vector<std::string> withLocked(const std::vector<std::string>& requested,
                                    const std::vector<std::string>& locked);

}  // namespace tarrow
