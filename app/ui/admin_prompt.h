#pragma once
// The question shown before the system's password dialog, saying why the password is
// needed. True when the user chose to go on.

#include <string>

namespace tarrow::ui {

bool confirmAdmin(const std::string& prompt);

}  // namespace tarrow::ui
