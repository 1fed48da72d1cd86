#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>

namespace tarrow::testing {

// A fresh folder under the system's temporary folder, removed with its content.
struct TempFolder {
    std::string path;
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarrow-listener-XXXXXX").string();
        path = ::mkdtemp(pattern.data()) ? pattern : "";
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string file(const std::string& name) const { return path + "/" + name; }
};

}  // namespace tarrow::testing
