#pragma once
// "--icons <folder>": the mark's documentation images, without starting the app.

#include <string>

namespace tarrow::ui {

// The four documentation images of the mark; 0 when all four were written.
int writeIcons(int argc, char** argv, const std::string& folder);

}  // namespace tarrow::ui
