#pragma once
// A fresh folder under /tmp (mode 0755, so a child that gave up root may enter it),
// removed with everything in it.

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tarrow::test {

struct TempFolder {
    std::string path;
    TempFolder() {
        char pattern[] = "/tmp/tarrow-test-XXXXXX";
        path = ::mkdtemp(pattern) ? pattern : "";
        ::chmod(path.c_str(), 0755);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    std::string operator/(const std::string& name) const { return path + "/" + name; }
};

}  // namespace tarrow::test
