#include "platform/termination.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>

namespace tarrow::platform {

namespace {

// Prepared before any handler is installed; read only inside the handler.
char requestPath[PATH_MAX];

// O_NONBLOCK: a FIFO planted at the path must not hang the exit.
extern "C" void emptyRequestAndExit(int) {
    int fd = ::open(requestPath, O_WRONLY | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) ::close(fd);
    ::_exit(0);
}

}  // namespace

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
