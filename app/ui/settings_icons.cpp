#include "app/ui/settings_icons.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <functional>

namespace tarrow::ui {

namespace {

// The drawing gets a painter set up for a 24 × 24 box and a pen in the text colour.
using Drawing = std::function<void(QPainter&)>;

QIcon drawn(const Drawing& draw) {
    const QColor ink = QGuiApplication::palette().color(QPalette::WindowText);
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(side / 24.0, side / 24.0);
        painter.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        draw(painter);
        icon.addPixmap(pixmap);
    }
    return icon;
}

void globe(QPainter& p) {
    p.drawEllipse(QRectF(3, 3, 18, 18));
    p.drawEllipse(QRectF(8, 3, 8, 18));
    p.drawLine(QPointF(12, 3), QPointF(12, 21));
    p.drawLine(QPointF(3, 12), QPointF(21, 12));
    p.drawLine(QPointF(4.6, 7.5), QPointF(19.4, 7.5));
    p.drawLine(QPointF(4.6, 16.5), QPointF(19.4, 16.5));
}

void calendar(QPainter& p) {
    p.drawRoundedRect(QRectF(3.5, 5, 17, 15.5), 2.5, 2.5);
    p.drawLine(QPointF(3.5, 9.5), QPointF(20.5, 9.5));
    p.drawLine(QPointF(8, 3), QPointF(8, 6.5));
    p.drawLine(QPointF(16, 3), QPointF(16, 6.5));
    p.setBrush(p.pen().color());
    for (double x : {7.5, 12.0, 16.5})
        for (double y : {13.0, 17.0}) p.drawEllipse(QPointF(x, y), 0.9, 0.9);
}

void gear(QPainter& p) {
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(12, 12);
        p.rotate(45.0 * i);
        p.drawLine(QPointF(0, -6.5), QPointF(0, -9.5));
        p.restore();
    }
    p.drawEllipse(QPointF(12, 12), 6.5, 6.5);
    p.drawEllipse(QPointF(12, 12), 2.6, 2.6);
}

void minusCircle(QPainter& p) {
    p.drawEllipse(QRectF(3.5, 3.5, 17, 17));
    p.drawLine(QPointF(8, 12), QPointF(16, 12));
}

void warning(QPainter& p) {
    QPainterPath triangle;
    triangle.moveTo(12, 3.5);
    triangle.lineTo(21, 19.5);
    triangle.lineTo(3, 19.5);
    triangle.closeSubpath();
    p.drawPath(triangle);
    p.drawLine(QPointF(12, 9.5), QPointF(12, 14));
    p.setBrush(p.pen().color());
    p.drawEllipse(QPointF(12, 16.8), 0.9, 0.9);
}

void bars(QPainter& p) {
    for (double y : {7.0, 12.0, 17.0}) p.drawLine(QPointF(5, y), QPointF(19, y));
}

QIcon themed(const char* name, const Drawing& fallback) {
    const QString themeName = QString::fromLatin1(name);
    if (QIcon::hasThemeIcon(themeName)) return QIcon::fromTheme(themeName);
    return drawn(fallback);
}

}  // namespace

QIcon tabIcon(Tab tab) {
    switch (tab) {
        case Tab::sites:
            return themed("web-browser", globe);
        case Tab::schedules:
            return themed("x-office-calendar", calendar);
        case Tab::general:
            return themed("preferences-system", gear);
    }
    return {};
}

QIcon removeIcon() {
    return themed("list-remove", minusCircle);
}

QIcon warningIcon() {
    return themed("dialog-warning", warning);
}

QIcon menuIcon() {
    return themed("open-menu", bars);
}

}  // namespace tarrow::ui
