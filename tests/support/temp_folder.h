#pragma once
// A fresh folder under /tmp for one test (mode 0755, so that a child that gave up root
// may enter it), removed with everything in it when the test ends.

#include <string>

namespace tarrow::test {

struct TempFolder {
    TempFolder();  // throws when no folder can be made
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string operator/(const std::string& name) const { return path + "/" + name; }

    std::string path;
};

}  // namespace tarrow::test
