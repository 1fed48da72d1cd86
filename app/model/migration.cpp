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

    Result<std::string> earlier = readRegularFile(pinfoldFile(folder));
    if (!earlier) return false;
    AtomicWrite how;
    how.mode = 0600;
    if (Status written = writeAtomically(own, *earlier, how); !written.ok()) {
        if (log) log("settings not taken over from Pinfold: " + written.text());
        return false;
    }
    if (log) log("settings taken over from Pinfold");
    return true;
}

}  // namespace tarrow
