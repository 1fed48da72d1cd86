#include "app/ui/day_chip.h"

#include <QPainter>
#include <QPainterPath>

namespace tarrow::ui {

namespace {

constexpr int chipWidth = 30, chipHeight = 24;
constexpr qreal radius = 6;
constexpr int padding = 4;  // on each side of a label that needs more than 30 points

}  // namespace

DayChip::DayChip(const QString& label, const QString& name, QWidget* parent)
    : QAbstractButton(parent) {
    setText(label);
    setToolTip(name);
    setAccessibleName(name);
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    QFont chipFont = font();
    chipFont.setPixelSize(12);
    chipFont.setWeight(QFont::DemiBold);
    setFont(chipFont);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize DayChip::sizeHint() const {
    const int needed = fontMetrics().horizontalAdvance(text()) + 2 * padding;
    return {qMax(chipWidth, needed), chipHeight};
}

void DayChip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& colours = palette();
    const QColor primary =
        colours.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
    // The outline lies inside the shape: half a point in from each edge.
    const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(shape, radius, radius);
    if (isChecked()) {
        painter.fillPath(path, primary);
        painter.setPen(colours.color(QPalette::Window));
    } else {
        QColor outline = primary;
        outline.setAlphaF(0.5f);
        painter.strokePath(path, QPen(outline, 1));
        painter.setPen(primary);
    }
    painter.drawText(rect(), Qt::AlignCenter, text());

    if (hasFocus()) {
        QPen ring(colours.color(QPalette::Highlight), 2);
        painter.setPen(ring);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    }
}

}  // namespace tarrow::ui
