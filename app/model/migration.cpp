#include "app/model/migration.h"

#include <sys/stat.h>

#include <filesystem>

#include "app/model/state_folder.h"
#include "common/file_io.h"

namespace tarrow {

bool migrate(const std::string& folder, const LogFn& log) {
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);

    const std::string own = fileIn(folder, "config.json");
    struct stat st {};
    if (::lstat(own.c_str(), &st) == 0) return false;

    auto earlier = readRegularFile(pinfoldFile(folder));
    if (!earlier) return false;
    AtomicWrite how;
    how.mode = 0600;
    if (writeAtomically(own, *earlier, how)) return false;
    if (log) log("settings taken over from Pinfold");
    return true;
}

}  // namespace tarrow
