#include "tests/support/xvfb.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace tarrow::test {

bool Xvfb::available() {
    return ::access("/usr/bin/Xvfb", X_OK) == 0;
}

xcb_connection_t* Xvfb::start(int number) {
    display = ":" + std::to_string(number);
    pid = ::fork();
    if (pid == 0) {
        ::execl("/usr/bin/Xvfb", "Xvfb", display.c_str(), "-nolisten", "tcp", nullptr);
        ::_exit(127);
    }
    for (int i = 0; i < 100; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
        if (!xcb_connection_has_error(c)) return c;
        xcb_disconnect(c);
    }
    return nullptr;
}

void Xvfb::stop() {
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
    pid = -1;
}

}  // namespace tarrow::test
