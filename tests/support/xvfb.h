#pragma once
// A private X server for tests that need a display.

#include <sys/types.h>
#include <xcb/xcb.h>

#include <string>

namespace tarrow::test {

struct Xvfb {
    static bool available();
    // Starts the server on display :number; returns a connection to it once it takes one
    // (the caller disconnects it), or null.
    xcb_connection_t* start(int number);
    void stop();
    ~Xvfb() { stop(); }
    std::string display;
    pid_t pid = -1;
};

}  // namespace tarrow::test
