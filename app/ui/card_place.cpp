#include "app/ui/card_place.h"

#include <cmath>

namespace tarrow::ui {

// From the geometry itself: QRect::center() rounds the middle of an even size down.
QPoint cardPlace(const QRect& visible, const QSize& size) {
    return QPoint(int(std::floor(visible.x() + visible.width() / 2.0 - size.width() / 2.0)),
                  int(std::floor(visible.y() + visible.height() / 2.0 - size.height() / 2.0)));
}

}  // namespace tarrow::ui
