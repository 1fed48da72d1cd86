#pragma once
// A private X server for tests that need a display.

#include <sys/types.h>
#include <xcb/xcb.h>

#include <string>

namespace tarrow::test {

struct Xvfb {
    static bool available();
    // Starts the server on a display number it finds free (tests run side by side, each
    // with its own server); returns a connection to it (the caller disconnects it), or null.
    xcb_connection_t* start();
    void stop();
    ~Xvfb() { stop(); }
    std::string display;
    pid_t pid = -1;
};

// Waits until the server has carried out what `c` sent. A flush only writes it out; code
// under test that asks over a connection of its own could otherwise be answered first.
void roundTrip(xcb_connection_t* c);

}  // namespace tarrow::test
