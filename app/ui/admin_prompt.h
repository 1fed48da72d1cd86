#pragma once
// The one dialog of a root step that the system's password dialog cannot take: no polkit
// agent runs, so it names the command that does the same in a terminal.

#include <string>

namespace tarrow::ui {

// `command` is "" when there is none to offer.
void tellNoAgent(const std::string& command);

}  // namespace tarrow::ui
