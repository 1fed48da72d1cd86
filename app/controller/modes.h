#pragma once
// Which command-line mode runs. The first row that applies wins.

#include <string>
#include <vector>

namespace tarrow::app {

enum class Mode { version, help, selftest, icons, render, suggest, pageTest, menu, attempts, app };

struct Invocation {
    Mode mode = Mode::app;
    std::string folder;  // icons and render: where the images go
};

// args without the program path.
Invocation chooseMode(const std::vector<std::string>& args);

// "--icons" etc.: the flag that names a mode, for messages.
const char* modeFlag(Mode mode);

// What "--help" prints: every mode and what it does.
const char* helpText();

}  // namespace tarrow::app
