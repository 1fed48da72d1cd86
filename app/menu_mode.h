#pragma once
// "--menu": the tray menu printed as opening it would show it.

#include <string>

namespace tarrow::app {

// Builds the real store and controller, rebuilds the menu as opening it would (a real
// tick first) and prints it.
int printMenu(int argc, char** argv, const std::string& folder, const std::string& helperSHA256);

}  // namespace tarrow::app
