// The check that the helper shipping with this app is there and is the one this build
// carries: without it "Set Up Blocking…" cannot work, so the check suite says so.

#include "app/builtin_checks.h"
#include "app/bundled_helper.h"
#include "app/controller/helper_identity.h"

namespace tarrow::app {

std::vector<Check> helperChecks() {
    const std::string path = bundledHelper();
    const Result<std::string> digest = sha256(path);
    return {{"helper: " + path + " is the one this build ships",
             digest.ok() && *digest == bundledHelperSHA256}};
}

}  // namespace tarrow::app
