#pragma once
// Small file helpers for tests: whole files in and out, what is there, how old it is.

#include <sys/stat.h>
#include <sys/types.h>

#include <optional>
#include <string>

namespace tarrow::test {

// Replaces the file with these bytes (making missing parent folders) and sets its mode.
void writeFile(const std::string& path, const std::string& bytes, mode_t mode = 0644);
// The whole file; nothing when it cannot be opened.
std::optional<std::string> readFile(const std::string& path);
// Anything at the path, a dangling link included.
bool exists(const std::string& path);
struct stat statOf(const std::string& path);           // lstat; st_mode 0 when missing
void setAge(const std::string& path, double seconds);  // modification time this long ago

}  // namespace tarrow::test
