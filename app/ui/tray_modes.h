#pragma once
// The command-line modes that show the tray's pieces without starting the app.

#include <string>

namespace tarrow::ui {

// "--menu": builds the real store and controller, rebuilds the menu as opening it
// would (a real tick first) and prints it.
int printMenu(int argc, char** argv, const std::string& folder, const std::string& helperSHA256);

// "--icons <folder>": the four documentation images of the mark.
int writeIcons(int argc, char** argv, const std::string& folder);

}  // namespace tarrow::ui
