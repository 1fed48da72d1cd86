#pragma once
// The menu's effects in the running app: the helper through the admin runner (the
// system's password dialog is the one prompt), the About window, opening files and
// addresses.

#include "app/controller/menu_commands.h"

namespace tarrow::app {
class Tarrow;
}

namespace tarrow::ui {

app::MenuActions trayActions(app::Tarrow& tarrow);

}  // namespace tarrow::ui
