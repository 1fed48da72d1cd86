#pragma once
// A private X server for tests that need a display.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <string>
#include <thread>

namespace tarrow::testing {

struct Xvfb {
    static bool available() { return ::access("/usr/bin/Xvfb", X_OK) == 0; }
    // Starts the server on display :number; returns a connection to it once it takes one
    // (the caller disconnects it), or null.
    xcb_connection_t* start(int number) {
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
    void stop() {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
        pid = -1;
    }
    ~Xvfb() { stop(); }
    std::string display;
    pid_t pid = -1;
};

}  // namespace tarrow::testing
