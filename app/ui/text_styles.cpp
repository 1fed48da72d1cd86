#include "app/ui/text_styles.h"

#include <QApplication>
#include <QEvent>

namespace tarrow::ui {

namespace {

QFont scaled(const QFont& base, qreal factor) {
    QFont font = base;
    if (base.pointSizeF() > 0)
        font.setPointSizeF(base.pointSizeF() * factor);
    else
        font.setPixelSize(qMax(9, qRound(base.pixelSize() * factor)));
    return font;
}

// The palette's text colour at opacity 0.62, as the widget would get it from its parents.
QColor mutedFor(const QWidget* widget) {
    QColor text = QApplication::palette(widget).color(QPalette::WindowText);
    text.setAlphaF(0.62f);
    return text;
}

}  // namespace

QFont captionFont(const QFont& base) {
    return scaled(base, 0.85);
}

QFont calloutFont(const QFont& base) {
    return scaled(base, 0.93);
}

QFont headlineFont(const QFont& base) {
    QFont font = base;
    font.setBold(true);
    return font;
}

void setMuted(QWidget* widget, bool dim) {
    if (!dim) {
        widget->setPalette(QPalette());
        return;
    }
    QPalette palette = widget->palette();
    const QColor colour = mutedFor(widget);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, colour);
    widget->setPalette(palette);
}

MutedLabel::MutedLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    setMuted(this, true);
}

bool paletteChanged(const QEvent* event) {
    return event->type() == QEvent::PaletteChange ||
           event->type() == QEvent::ApplicationPaletteChange;
}

void MutedLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    // Muting sets the palette, which comes back here once.
    if (!paletteChanged(event) || muting_) return;
    muting_ = true;
    setMuted(this, true);
    muting_ = false;
}

}  // namespace tarrow::ui
