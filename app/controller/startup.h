#pragma once
// The app's start: command-line modes, one running copy, the controller, the timers.

namespace tarrow::app {

// The whole program; returns the exit status.
int run(int argc, char** argv);

}  // namespace tarrow::app
