#pragma once
// Which command-line mode runs. The first row that applies wins.

#include <optional>
#include <string>
#include <vector>

namespace tarrow::app {

enum class Mode {
    version,
    help,
    selftest,
    icons,
    render,
    suggest,
    pageTest,
    menu,
    attempts,
    command,  // a word without dashes first: a command for the running copy
    app
};

struct Invocation {
    Mode mode = Mode::app;
    std::string folder;  // icons and render: where the images go
};

// args without the program path.
Invocation chooseMode(const std::vector<std::string>& args);

// The command-file text of a command given on the command line ("on", "off",
// "for MINUTES", "status", "settings"), checked as the running copy checks it; none for
// anything else, extra words included.
std::optional<std::string> shellCommand(const std::vector<std::string>& args);

// What a command that is not one prints: the words and their limits.
const char* commandUsage();

// "--icons" etc.: the flag that names a mode, for messages.
const char* modeFlag(Mode mode);

// What "--help" prints: every mode and what it does.
const char* helpText();

}  // namespace tarrow::app
