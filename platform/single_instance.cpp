#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <signal.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <string_view>
#include <thread>

namespace tarrow::platform {

namespace {

pid_t readPid(int fd) {
    char buffer[32];
    ssize_t n = ::pread(fd, buffer, sizeof buffer - 1, 0);
    if (n <= 0) return 0;
    std::string_view text(buffer, static_cast<size_t>(n));
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
    pid_t pid = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), pid);
    if (ec != std::errc() || end != text.data() + text.size() || pid <= 0) return 0;
    return pid;
}

void writePid(int fd) {
    std::string text = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) != 0) return;
    [[maybe_unused]] ssize_t ignored = ::pwrite(fd, text.data(), text.size(), 0);
}

bool alive(pid_t pid) {
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

}  // namespace

Result<Instance> claimInstance(const std::string& lockPath) {
    // O_CLOEXEC: programs the app starts (the admin runner, openers) must not inherit
    // the lock and keep it after the app has gone.
    int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) return Status::lastError("open", lockPath);
    // The holder writes its id right after locking; give it a moment if we came between.
    // A command that only looks (instanceRunning) holds the lock for an instant while the
    // file still names a copy that has ended: try the lock again rather than defer to it.
    pid_t pid = 0;
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            writePid(fd);
            return Instance{InstanceHeld{fd}};
        }
        if (errno != EWOULDBLOCK) {
            int error = errno;
            ::close(fd);
            return Status::failure("lock", lockPath, error);
        }
        pid = readPid(fd);
        if (alive(pid)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::close(fd);
    return Instance{InstanceRunning{pid}};
}

bool instanceRunning(const std::string& lockPath) {
    int fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    // A shared lock is refused exactly while the running copy holds its exclusive one.
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

std::string instanceLockPath(const std::string& stateFolder) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st {};
    if (runtime && *runtime == '/' && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode)) {
        return std::string(runtime) + "/tarrow.lock";
    }
    return stateFolder + "/tarrow.lock";
}

}  // namespace tarrow::platform
