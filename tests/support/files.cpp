#include "tests/support/files.h"

#include <sys/time.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tarrow::test {

void writeFile(const std::string& path, const std::string& bytes, mode_t mode) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    ::chmod(path.c_str(), mode);
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

struct stat statOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) st.st_mode = 0;
    return st;
}

void setAge(const std::string& path, double seconds) {
    struct timeval now {};
    ::gettimeofday(&now, nullptr);
    struct timeval times[2] = {now, now};
    times[1].tv_sec -= static_cast<time_t>(std::ceil(seconds));
    ::utimes(path.c_str(), times);
}

}  // namespace tarrow::test
