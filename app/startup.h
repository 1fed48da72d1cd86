#pragma once
// The app's start: the command-line modes, one running copy, then the running app.

#include <string>

namespace tarrow::app {

// The whole program; returns the exit status.
int run(int argc, char** argv);

// The project version, "dev" when the build gives none.
std::string appVersion();

// Without any display Qt would abort; these programs need none, so they run offscreen
// instead. True when the offscreen platform was chosen.
bool offscreenWithoutDisplay();

}  // namespace tarrow::app
