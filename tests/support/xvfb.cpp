#include "tests/support/xvfb.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace tarrow::test {

bool Xvfb::available() {
    return ::access("/usr/bin/Xvfb", X_OK) == 0;
}

xcb_connection_t* Xvfb::start() {
    // The server writes the display number it took to the pipe once it listens.
    int ready[2];
    if (::pipe(ready) != 0) return nullptr;
    ::fcntl(ready[0], F_SETFD, FD_CLOEXEC);
    const std::string fd = std::to_string(ready[1]);
    pid = ::fork();
    if (pid == 0) {
        ::execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", nullptr);
        ::_exit(127);
    }
    ::close(ready[1]);
    std::string number;
    pollfd wait{ready[0], POLLIN, 0};
    char c = 0;
    // Up to ten seconds for the server; the line ends with a line feed.
    while (pid > 0 && ::poll(&wait, 1, 10000) == 1 && ::read(ready[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    ::close(ready[0]);
    if (number.empty()) return nullptr;
    display = ":" + number;
    xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
    if (!xcb_connection_has_error(connection)) return connection;
    xcb_disconnect(connection);
    return nullptr;
}

void roundTrip(xcb_connection_t* c) {
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

void Xvfb::stop() {
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
    pid = -1;
}

}  // namespace tarrow::test
