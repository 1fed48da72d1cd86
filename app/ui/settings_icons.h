#pragma once
// The settings window's icons: the desktop theme's where it has them, otherwise drawn
// in the palette's text colour, so they show on every desktop.

#include <QIcon>

#include "app/model/tab.h"

namespace tarrow::ui {

// A globe, a calendar and a gear.
QIcon tabIcon(Tab tab);
// A circle with a minus: taking a site off the list.
QIcon removeIcon();
// A triangle with an exclamation mark: the add field's problem line.
QIcon warningIcon();
// Three bars: the window's button for the app's menu.
QIcon menuIcon();

}  // namespace tarrow::ui
