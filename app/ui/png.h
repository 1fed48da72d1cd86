#pragma once
// Writing pictures as PNG files. A failure writes nothing (no partial file) and is
// not reported beyond the result.

#include <QImage>
#include <QString>

class QWidget;

namespace tarrow::ui {

bool png(const QImage& image, const QString& path);
// The widget's current bounds, rendered at the screen's pixel ratio.
bool png(QWidget* view, const QString& path);

}  // namespace tarrow::ui
