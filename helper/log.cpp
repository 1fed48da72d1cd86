#include "helper/log.h"

#include <unistd.h>

#include <ctime>
#include <string>

namespace tarrow::helper {

void log(std::string_view message) {
    ::tzset();  // every line in the zone the system has now, as a long-running daemon's must be
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    size_t n = std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    std::string line(stamp, n);
    line.append("  ").append(message).append("\n");
    [[maybe_unused]] ssize_t ignored = ::write(STDERR_FILENO, line.data(), line.size());
}

}  // namespace tarrow::helper
