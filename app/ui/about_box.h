#pragma once
// The About window: name, version and the credits.

namespace tarrow::ui {

void showAbout();

}  // namespace tarrow::ui
