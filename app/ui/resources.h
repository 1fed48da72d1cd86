#pragma once
// Where the app's own files (brand fonts, optional tray images) are found.

#include <QString>

namespace tarrow::ui {

// The first folder that exists of: $TARROW_RESOURCES, "../resources" (a build tree) and
// "../share/tarrow" (installed) beside the program, and the source tree's resources/.
// Empty when there is none.
QString resourcesFolder();

// A file in that folder; empty when it does not exist.
QString resourceFile(const QString& name);

}  // namespace tarrow::ui
