#pragma once
// Light and dark: one palette of our own for each, so the windows show the same colours
// on every desktop. Which of the two applies follows the desktop's own palette: a dark
// window colour there means dark here.

#include <QPalette>

class QApplication;

namespace tarrow::ui {

enum class Appearance { light, dark };

// Every role the views use is set, in the active, inactive and disabled groups.
QPalette appearancePalette(Appearance appearance);

// Dark when the palette's window colour is darker than a middle grey.
Appearance appearanceOf(const QPalette& palette);

// Gives the application the palette of the desktop's appearance now, and again each time
// the desktop's theme changes.
void followDesktopAppearance(QApplication& application);

}  // namespace tarrow::ui
