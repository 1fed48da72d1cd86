#pragma once
// Is the privileged helper installed, and is it exactly the one this build ships?

#include <optional>
#include <string>

#include "app/model/helper_state.h"
#include "common/status.h"

namespace tarrow::app {

// The state's case name: "missing", "outdated", "stuck" or "working".
const char* helperName(Helper state);

// The file's SHA-256 as 64 lower-case hex digits; a failure when it cannot be read.
Result<std::string> sha256(const std::string& path);

// The last digest and the file stamp it was computed for.
struct HelperHash {
    std::string stamp;
    std::optional<std::string> hash;
};

// Modification time (seconds, with fraction) "/" size, as the cache key; both 0 when
// the file's attributes cannot be read. The status-change time and the inode follow
// after a second "/": a copy that keeps the old time and size (cp -p, install -p)
// still counts as a new file.
std::string helperStamp(const std::string& path);

// The installed helper's digest, hashing the file again only when its stamp changed.
std::optional<std::string> installedHelperHash(std::optional<HelperHash>& cache,
                                               const std::string& path);

// Both the executable and its service file exist.
bool helperInstalled(const std::string& helperPath, const std::string& servicePath);

// The helper that ships with the program at `program`: "tarrow-helper" beside it (a
// build tree), else "../libexec/tarrow/tarrow-helper" from its folder (installed under a
// prefix such as /usr). When neither exists, the one beside it, for the message.
std::string bundledHelperFor(const std::string& program);

// The same for the running app.
std::string bundledHelper();

}  // namespace tarrow::app
