#include "platform/termination.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <ctime>

namespace tarrow::platform {

namespace {

// Prepared before any handler is installed; read only inside the handler.
char requestPath[PATH_MAX];
std::atomic<const std::atomic<bool>*> savesBusy{nullptr};
std::atomic<long> waitMilliseconds{0};

constexpr long pollMilliseconds = 5;
constexpr char gaveUp[] = "quit: a save did not finish in time; not waiting for it\n";

long elapsedMilliseconds(const struct timespec& since) {
    struct timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - since.tv_sec) * 1000 + (now.tv_nsec - since.tv_nsec) / 1000000;
}

// Only async-signal-safe calls: open, close, clock_gettime, nanosleep, write, _exit and
// lock-free atomics.
void waitForSaves() {
    const std::atomic<bool>* busy = savesBusy.load();
    if (!busy) return;
    struct timespec start {};
    ::clock_gettime(CLOCK_MONOTONIC, &start);
    const struct timespec poll { 0, pollMilliseconds * 1000000 };
    while (busy->load() && elapsedMilliseconds(start) < waitMilliseconds.load())
        ::nanosleep(&poll, nullptr);
    if (busy->load()) {
        [[maybe_unused]] ssize_t ignored = ::write(STDERR_FILENO, gaveUp, sizeof gaveUp - 1);
    }
}

// O_NONBLOCK: a FIFO planted at the path must not hang the exit.
extern "C" void emptyRequestAndExit(int) {
    int fd = ::open(requestPath, O_WRONLY | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) ::close(fd);
    waitForSaves();
    ::_exit(0);
}

}  // namespace

void waitOnSignalsWhile(const std::atomic<bool>* busy, std::chrono::milliseconds limit) {
    waitMilliseconds = static_cast<long>(limit.count());
    savesBusy = busy;
}

bool emptyRequestOnSignals(const std::string& path) {
    if (path.empty() || path.size() >= sizeof requestPath) return false;
    std::memcpy(requestPath, path.c_str(), path.size() + 1);
    struct sigaction action {};
    action.sa_handler = emptyRequestAndExit;
    sigemptyset(&action.sa_mask);
    // Block the other two while one runs, so a second signal cannot cut the first short.
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&action.sa_mask, signal);
    bool ok = true;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        ok = ::sigaction(signal, &action, nullptr) == 0 && ok;
    return ok;
}

}  // namespace tarrow::platform
