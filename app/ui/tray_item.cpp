#include "app/ui/tray_item.h"

namespace tarrow::ui {

namespace {

constexpr int retryMilliseconds = 10000;

}  // namespace

TrayItem::TrayItem(std::function<QIcon(bool blocking)> markImage, QObject* parent)
    : QObject(parent), markImage_(std::move(markImage)) {
    retry_.setInterval(retryMilliseconds);
    retry_.setTimerType(Qt::CoarseTimer);
    connect(&retry_, &QTimer::timeout, this, &TrayItem::showWhenPossible);
    redraw();
    showWhenPossible();
}

void TrayItem::showWhenPossible() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        icon_.show();
        retry_.stop();
    } else if (!retry_.isActive()) {
        retry_.start();
    }
}

void TrayItem::setMark(bool blocking) {
    blocking_ = blocking;
    redraw();
}

void TrayItem::setDimmed(bool dimmed) {
    if (dimmed == dimmed_) return;
    dimmed_ = dimmed;
    redraw();
}

void TrayItem::setToolTip(const std::string& tip, const std::string& name,
                          const std::string& value) {
    toolTip_ = tip;
    accessibleName_ = name;
    accessibleValue_ = value;
    icon_.setToolTip(QString::fromStdString(tip));
}

void TrayItem::redraw() {
    QIcon mark = markImage_(blocking_);
    if (dimmed_) {
        // The disabled mode of the mark's own pixmaps is the platform's dimmed look.
        QIcon dim;
        for (QSize size : {QSize(16, 16), QSize(22, 22), QSize(32, 32), QSize(64, 64)}) {
            dim.addPixmap(mark.pixmap(size, QIcon::Disabled));
        }
        mark = dim;
    }
    icon_.setIcon(mark);
}

}  // namespace tarrow::ui
