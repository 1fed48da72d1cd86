#pragma once
// Where the card goes on a screen.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tarrow::ui {

// A card of `size` centred in `visible` (a screen's free area), each coordinate cut to
// a whole pixel.
QPoint cardPlace(const QRect& visible, const QSize& size);

}  // namespace tarrow::ui
