#include "app/ui/notice_panel.h"

#include <QCursor>
#include <QEasingCurve>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "app/ui/brand.h"
#include "app/ui/card_place.h"
#include "app/ui/notice_view.h"
#include "platform/desktop/compositing.h"
#include "platform/desktop/window.h"

namespace tarrow::ui {

namespace {

constexpr std::chrono::milliseconds shownFor{8000};
constexpr std::chrono::milliseconds hoverFor{2000};
constexpr int fadeInMs = 300, fadeOutMs = 200;
constexpr int slide = 10;  // the card comes down into its place by this much
constexpr int reducedFadeInMs = 150, reducedSlide = 0;
constexpr int cardRadius = 16;
// With a compositor the card casts a soft shadow, a little below it, inside a see-through
// margin of the window: this much spread, this far down, this much darkness at its edge.
constexpr int shadowMargin = 18, shadowSpread = 14, shadowDrop = 3;
constexpr qreal shadowEdgeAlpha = 0.28;

// Platforms without windows on a screen (off-screen rendering) have no opacity to set
// and complain about every frame; there the card appears and goes without fading.
bool fades() {
    const QString name = QGuiApplication::platformName();
    return name != "offscreen" && name != "minimal";
}

QEasingCurve appearCurve() {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.16, 1.0), QPointF(0.3, 1.0), QPointF(1.0, 1.0));
    return curve;
}

}  // namespace

NoticePanel::NoticePanel()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle("Tarrow");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    view_ = new NoticeView(this);
    layout->addWidget(view_);
    resize(cardWidth, 160);
    hide_.setSingleShot(true);
    connect(&hide_, &QTimer::timeout, this, [this] {
        if (hovering_) {
            schedule(hoverFor);
        } else {
            dismiss();
        }
    });
    connect(view_->closeButton(), &QToolButton::clicked, this, [this] { dismiss(); });
    // On X11 the card belongs on every virtual desktop, like the panel it stands for.
    if (QGuiApplication::platformName() == "xcb") platform::showOnAllDesktops(uint32_t(winId()));
}

QPoint NoticePanel::placeFor(const QSize& size) {
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen && !QGuiApplication::screens().isEmpty())
        screen = QGuiApplication::screens().first();
    if (!screen) return QPoint(0, 0);
    return cardPlace(screen->availableGeometry(), size);
}

void NoticePanel::setTray(bool tray) {
    view_->setTray(tray);
}

QSize NoticePanel::setContent(const QString& site, const QString& line, const QString& tries) {
    view_->setContent(site, line, tries);
    setAccessibleName(view_->accessibleName());
    layout()->activate();
    // The layout counts the shadow's margin, which is not the card's.
    const int margins = 2 * shadow_;
    return QSize(cardWidth, layout()->totalHeightForWidth(cardWidth + margins) - margins);
}

void NoticePanel::show(const QString& site, const QString& line, const QString& tries) {
    const QSize size = setContent(site, line, tries);
    if (dismissing_) {
        // A fade-out in progress is abandoned: the card comes back at once.
        dismissing_ = false;
        if (fade_) fade_->stop();
        hide();
    }
    if (!platform::desktopComposites()) {
        // Without a compositor a see-through corner or shadow shows black: no shadow, and
        // the corners cut off instead.
        shadow_ = 0;
        QPainterPath card;
        card.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)), cardRadius, cardRadius);
        setMask(QRegion(card.toFillPolygon().toPolygon()));
    } else {
        shadow_ = shadowMargin;
        clearMask();
    }
    layout()->setContentsMargins(shadow_, shadow_, shadow_, shadow_);
    resize(size + QSize(2 * shadow_, 2 * shadow_));
    // The margin is the same on every side, so the card itself is centred.
    const QPoint place = placeFor(this->size());
    if (!isVisible()) {
        setOpacity(0.0);
        move(place - QPoint(0, reducedMotion_ ? reducedSlide : slide));
        QWidget::show();
        raise();
        auto* group = new QParallelAnimationGroup(this);
        auto* opacity = new QVariantAnimation(group);
        auto* position = new QPropertyAnimation(this, "pos", group);
        for (QVariantAnimation* a : {opacity, static_cast<QVariantAnimation*>(position)}) {
            a->setDuration(reducedMotion_ ? reducedFadeInMs : fadeInMs);
            a->setEasingCurve(appearCurve());
        }
        opacity->setStartValue(0.0);
        opacity->setEndValue(1.0);
        connect(opacity, &QVariantAnimation::valueChanged, this,
                [this](const QVariant& value) { setOpacity(value.toReal()); });
        position->setEndValue(place);
        if (appear_) appear_->stop();
        appear_ = group;
        group->start(QAbstractAnimation::DeleteWhenStopped);
    } else {
        if (appear_) appear_->stop();
        move(place);
        setOpacity(1.0);
    }
    schedule(shownFor);
}

QAbstractAnimation* NoticePanel::appearing() const {
    return appear_;
}

void NoticePanel::setOpacity(qreal opacity) {
    if (fades()) setWindowOpacity(opacity);
}

void NoticePanel::schedule(std::chrono::milliseconds delay) {
    hide_.start(delay);
}

void NoticePanel::dismiss() {
    hide_.stop();
    if (!isVisible() || dismissing_) return;
    dismissing_ = true;
    if (appear_) appear_->stop();
    auto* fade = new QVariantAnimation(this);
    fade->setDuration(fadeOutMs);
    fade->setStartValue(fades() ? windowOpacity() : 1.0);
    fade->setEndValue(0.0);
    connect(fade, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { setOpacity(value.toReal()); });
    connect(fade, &QPropertyAnimation::finished, this, [this] {
        if (!dismissing_) return;
        dismissing_ = false;
        hide();
    });
    fade_ = fade;
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void NoticePanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).adjusted(shadow_, shadow_, -shadow_, -shadow_);
    if (shadow_ > 0) {
        // Rounded rectangles growing outward, each as faint as the next: together they
        // darken most at the card's edge and fade to nothing at the spread.
        const qreal layer = 1.0 - std::pow(1.0 - shadowEdgeAlpha, 1.0 / shadowSpread);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgbF(0, 0, 0, float(layer)));
        for (int grow = 1; grow <= shadowSpread; ++grow) {
            painter.drawRoundedRect(
                card.adjusted(-grow, -grow, grow, grow).translated(0, shadowDrop),
                cardRadius + grow, cardRadius + grow);
        }
    }
    QPainterPath shape;
    shape.addRoundedRect(card, cardRadius, cardRadius);
    painter.fillPath(shape, night);
}

void NoticePanel::enterEvent(QEnterEvent*) {
    hovering_ = true;
}

void NoticePanel::leaveEvent(QEvent*) {
    hovering_ = false;
}

// Movable by its background, like any small panel.
void NoticePanel::mousePressEvent(QMouseEvent* event) {
    dragFrom_ = event->globalPosition().toPoint() - pos();
}

void NoticePanel::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) move(event->globalPosition().toPoint() - dragFrom_);
}

}  // namespace tarrow::ui
