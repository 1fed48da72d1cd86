#include "app/controller/log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>

namespace tarrow::app {

namespace {

std::mutex logMutex;  // the page server's thread may log too
std::string logFile;

void writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n <= 0) return;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

}  // namespace

std::string logStamp(std::time_t when) {
    std::tm local{};
    ::localtime_r(&when, &local);
    char stamp[32];
    size_t n = std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    return std::string(stamp, n);
}

void appendLogLine(const std::string& logPath, std::string_view line) {
    struct stat st {};
    if (::stat(logPath.c_str(), &st) == 0 &&
        static_cast<std::uintmax_t>(st.st_size) > logRotateSize) {
        const std::string older = logPath + ".1";
        ::unlink(older.c_str());
        ::rename(logPath.c_str(), older.c_str());
    }
    int fd = ::open(logPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    writeAll(fd, line);
    ::close(fd);
}

void setLogFile(std::string path) {
    std::lock_guard lock(logMutex);
    logFile = std::move(path);
}

void log(std::string_view message) {
    std::string line = logStamp(std::time(nullptr));
    line.append("  ").append(message).append("\n");
    std::lock_guard lock(logMutex);
    writeAll(STDERR_FILENO, line);
    if (!logFile.empty()) appendLogLine(logFile, line);
}

}  // namespace tarrow::app
