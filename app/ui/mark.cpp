#include "app/ui/mark.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include "app/ui/png.h"
#include "app/ui/resources.h"

namespace tarrow::ui {

namespace {

const QColor trayInk(128, 128, 128);

QImage blank(qreal scale) {
    const int side = qRound(markSide * scale);
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The resource image for a state, scaled to the square and recoloured with ink.
QImage resourceMark(bool on, qreal scale, const QColor& ink) {
    const QString path = resourceFile(on ? "menubar-blocked.png" : "menubar-open.png");
    if (path.isEmpty()) return {};
    QImage source(path);
    if (source.isNull()) return {};
    QImage image = blank(scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(image.rect(), source);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), ink);
    return image;
}

}  // namespace

// Drawn in points with the origin at the top left; the measures are those of a
// bottom-left system: the letter's line box starts 0.5 above the bottom edge, the bar
// lies 8.0 to 9.9 above it.
QImage drawnMarkImage(bool on, qreal scale, QColor ink) {
    QImage image = blank(scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);

    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(17);
    font.setBold(true);
    const QString initial = QStringLiteral("t");
    const QFontMetricsF metrics(font);
    const qreal width = metrics.horizontalAdvance(initial);
    QPainterPath letter;
    letter.addText(QPointF(markSide / 2 - width / 2, markSide - 0.5 - metrics.descent()), font,
                   initial);
    painter.fillPath(letter, ink);

    if (on) {
        QPainterPath bar;
        bar.addRoundedRect(QRectF(1.6, markSide - 8.0 - 1.9, 14.8, 1.9), 0.95, 0.95);
        painter.fillPath(bar, ink);
    }
    return image;
}

QImage markImage(bool on, qreal scale, QColor ink) {
    QImage resource = resourceMark(on, scale, ink);
    return resource.isNull() ? drawnMarkImage(on, scale, ink) : resource;
}

QIcon markIcon(bool on) {
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(markImage(on, side / markSide, trayInk)));
    icon.setIsMask(true);
    return icon;
}

QStringList writeMarkImages(const QString& folder) {
    QDir().mkpath(folder);
    struct Background {
        const char* name;
        QColor fill, ink;
    };
    const Background backgrounds[] = {{"light", Qt::white, Qt::black},
                                      {"dark", QColor::fromRgbF(0.12f, 0.12f, 0.12f), Qt::white}};
    QStringList written;
    for (bool on : {false, true}) {
        for (const Background& background : backgrounds) {
            QImage image(72, 72, QImage::Format_ARGB32);
            image.fill(background.fill);
            QPainter painter(&image);
            painter.drawImage(0, 0, markImage(on, 72 / markSide, background.ink));
            painter.end();
            const QString path = QString("%1/mark-%2-%3.png")
                                     .arg(folder, on ? "locked" : "unlocked", background.name);
            if (png(image, path)) written << path;
        }
    }
    return written;
}

}  // namespace tarrow::ui
