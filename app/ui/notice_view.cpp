#include "app/ui/notice_view.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/model/machine_texts.h"
#include "app/ui/brand.h"
#include "app/ui/mark.h"
#include "platform/paths.h"

namespace tarrow::ui {

namespace {

// Sizes are the card's points, which are logical pixels here.
QFont brandPixels(qreal size) {
    QFont font = brandFont(size);
    font.setPixelSize(qRound(size));
    return font;
}

QFont systemPixels(int size, QFont::Weight weight = QFont::Normal) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(size);
    font.setWeight(weight);
    return font;
}

QLabel* textLabel(const QString& text, const QFont& font, const QColor& colour, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

const QString product = QString::fromUtf8(appName.data(), qsizetype(appName.size()));

}  // namespace

StruckTarrow::StruckTarrow(qreal size, QWidget* parent) : QWidget(parent), size_(size) {
    setAccessibleName(product + ", struck through");
}

QSize StruckTarrow::sizeHint() const {
    const QFontMetricsF metrics(brandPixels(size_));
    const qreal bar = 0.064 * size_;
    return QSize(qCeil(bar + metrics.horizontalAdvance(product + ".") + bar),
                 qCeil(metrics.height()));
}

void StruckTarrow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFont font = brandPixels(size_);
    const QFontMetricsF metrics(font);
    const qreal inset = 0.064 * size_;
    const qreal baseline = metrics.ascent();
    painter.setFont(font);
    painter.setPen(paper);
    painter.drawText(QPointF(inset, baseline), product);
    const qreal width = metrics.horizontalAdvance(product);
    painter.drawText(QPointF(inset + width, baseline), ".");
    // The bar: 0.112 of the size high, its middle 0.25 of the size above the baseline,
    // reaching 0.064 of the size beyond the word on each side.
    const qreal height = 0.112 * size_;
    QPainterPath bar;
    bar.addRoundedRect(QRectF(0, baseline - 0.25 * size_ - height / 2, width + 2 * inset, height),
                       height / 2, height / 2);
    painter.fillPath(bar, pink);
}

ShrinkingLabel::ShrinkingLabel(qreal size, qreal smallest, QWidget* parent)
    : QWidget(parent), size_(size), smallest_(smallest) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ShrinkingLabel::setText(const QString& text) {
    text_ = text;
    setAccessibleName(text);
    update();
}

QSize ShrinkingLabel::sizeHint() const {
    return QSize(cardWidth, qCeil(QFontMetricsF(brandPixels(size_)).height()));
}

void ShrinkingLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font = brandPixels(size_);
    // Shrink step by step down to the smallest size; what still does not fit is cut.
    for (qreal size = size_; size >= smallest_; size -= 1) {
        font.setPixelSize(qRound(size));
        if (QFontMetricsF(font).horizontalAdvance(text_) <= width()) break;
    }
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(paper);
    const QString shown = metrics.elidedText(text_, Qt::ElideRight, width());
    painter.drawText(QPointF(0, (height() + metrics.ascent() - metrics.descent()) / 2), shown);
}

NoticeView::NoticeView(QWidget* parent) : QWidget(parent) {
    setFixedWidth(cardWidth);
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(20, 14, 14, 16);
    stack->setSpacing(0);

    auto* header = new QHBoxLayout;
    header->setSpacing(7);
    auto* mark = new QLabel(this);
    const qreal scale = devicePixelRatioF();
    QPixmap pixmap = QPixmap::fromImage(markImage(true, scale, ash));
    pixmap.setDevicePixelRatio(scale);
    mark->setPixmap(pixmap);
    mark->setFixedSize(18, 18);
    mark->setAccessibleName(QString());  // decoration only
    header->addWidget(mark);
    header->addWidget(textLabel(product, systemPixels(12, QFont::DemiBold), ash, this));
    header->addStretch(1);
    close_ = new QToolButton(this);
    close_->setText(QStringLiteral("\u2715"));
    close_->setFont(systemPixels(11, QFont::Bold));
    close_->setFixedSize(28, 28);
    close_->setAutoRaise(true);
    close_->setFocusPolicy(Qt::NoFocus);
    close_->setAccessibleName("Close");
    close_->setStyleSheet(
        "QToolButton{border:none;background:transparent;color:#ADA4B6}"
        "QToolButton:hover{color:#F3EEF6}");
    header->addWidget(close_);
    stack->addLayout(header);
    stack->addSpacing(8);

    site_ = new ShrinkingLabel(28, 28 * 0.6, this);
    stack->addWidget(site_);
    auto* struck = new StruckTarrow(28, this);
    stack->addWidget(struck, 0, Qt::AlignLeft);

    line_ = textLabel(QString(), systemPixels(13), paper, this);
    stack->addSpacing(10);
    stack->addWidget(line_);
    stack->addSpacing(4);
    how_ = textLabel(QString(), systemPixels(13), ash, this);
    stack->addWidget(how_);
    setTray(true);
    // A quiet fact, not a reproach: small and in the muted colour.
    tries_ = textLabel(QString(), systemPixels(12), ash, this);
    tries_->setContentsMargins(0, 6, 0, 0);
    tries_->hide();
    stack->addWidget(tries_);
}

void NoticeView::setContent(const QString& site, const QString& line, const QString& tries) {
    site_->setText(site + "?");
    line_->setText(line);
    tries_->setText(tries);
    tries_->setVisible(!tries.isEmpty());
    setAccessibleName(noticeAccessibleText(site, line, tries, tray_));
}

void NoticeView::setTray(bool tray) {
    tray_ = tray;
    const std::string letter = product.left(1).toLower().toStdString();
    how_->setText(
        QString::fromStdString(machineText(machine::cardHowNoTray, tray, {{"letter", letter}})));
}

QString noticeAccessibleText(const QString& site, const QString& line, const QString& tries,
                             bool tray) {
    QString text = product + ": " + site + "? Tarrow. " + line + " " +
                   QString::fromStdString(machineText(machine::cardHowSpokenNoTray, tray));
    if (!tries.isEmpty()) text += " " + tries + ".";
    return text;
}

}  // namespace tarrow::ui
