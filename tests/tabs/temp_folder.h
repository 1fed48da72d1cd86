#pragma once
// A fresh, empty folder under /tmp for one test; the test removes it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace tarrow {

inline std::filesystem::path tempFolder(const std::string& prefix) {
    std::string name = "/tmp/" + prefix + "-XXXXXX";
    if (!mkdtemp(name.data())) ADD_FAILURE() << "cannot make " << name;
    return name;
}

}  // namespace tarrow
