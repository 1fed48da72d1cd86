#include "tests/support/temp_folder.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace tarrow::test {

TempFolder::TempFolder() {
    std::string pattern = "/tmp/tarrow-test-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make " + pattern);
    path = pattern;
    ::chmod(path.c_str(), 0755);
}

TempFolder::~TempFolder() {
    namespace fs = std::filesystem;
    // Folders a test made unreadable or unwritable are opened again first, or they and
    // everything in them would stay behind.
    std::error_code ec;
    ::chmod(path.c_str(), 0755);
    for (auto it = fs::recursive_directory_iterator(
             path, fs::directory_options::skip_permission_denied, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) ::chmod(it->path().c_str(), 0755);
    }
    fs::remove_all(path, ec);
}

}  // namespace tarrow::test
