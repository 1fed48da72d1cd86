#include "app/ui/tray_item.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <utility>

#include "app/controller/log.h"
#include "platform/desktop/tray_hosts.h"

namespace tarrow::ui {

namespace {

// Often enough that an icon docks within two seconds of a tray appearing; only while
// there is none.
constexpr int lookMilliseconds = 500;

// A tray embeds and shows an icon within a tenth of a second; one that has not after a
// second dropped the request. Asked again a few times, not for ever: a tray that never takes
// the icon is not helped by more.
constexpr int dockCheckMilliseconds = 1000;
constexpr int maxRedocks = 5;

// Platforms without a screen never get a tray.
bool traysPossible() {
    const QString platform = QGuiApplication::platformName();
    return platform != "offscreen" && platform != "minimal";
}

bool trayPresent() {
    return platform::statusNotifierHostPresent() ||
           (QGuiApplication::platformName() == "xcb" && platform::xembedTrayPresent());
}

// The X window of Qt's XEmbed icon, or 0: none over StatusNotifierItem, and none while
// the icon is hidden. Qt keeps it as a top-level widget of its own class.
WId xembedIconWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qstrcmp(widget->metaObject()->className(), "QSystemTrayIconSys") == 0 &&
            widget->isVisible()) {
            return widget->internalWinId();
        }
    }
    return 0;
}

}  // namespace

TrayItem::TrayItem(std::function<QIcon(bool blocking)> markImage, QObject* parent)
    : QObject(parent), markImage_(std::move(markImage)) {
    look_.setInterval(lookMilliseconds);
    look_.setTimerType(Qt::CoarseTimer);
    connect(&look_, &QTimer::timeout, this, &TrayItem::showWhenPossible);
    dockCheck_.setInterval(dockCheckMilliseconds);
    dockCheck_.setSingleShot(true);
    connect(&dockCheck_, &QTimer::timeout, this, &TrayItem::checkDocked);
    showWhenPossible();
}

void TrayItem::showWhenPossible() {
    if (icon_ || !traysPossible()) return;
    if (!trayPresent()) {
        if (!std::exchange(saidNoTray_, true))
            app::log("no tray on this desktop: open Tarrow from the applications menu");
        if (!look_.isActive()) look_.start();
        return;
    }
    look_.stop();
    icon_ = std::make_unique<QSystemTrayIcon>();
    icon_->setContextMenu(menu_);
#ifndef __APPLE__
    // Qt opens the menu on a right click only; Linux panels open a status icon's menu on
    // the left click as well (the menu bar does so on macOS by itself).
    connect(icon_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger && menu_) menu_->popup(QCursor::pos());
            });
#endif
    icon_->setToolTip(QString::fromStdString(toolTip_));
    redraw();
    icon_->show();
    if (QGuiApplication::platformName() == "xcb") dockCheck_.start();
    if (found_) found_();
}

void TrayItem::checkDocked() {
    const WId window = xembedIconWindow();
    if (!icon_ || window == 0 || platform::xembedIconDocked(window)) return;
    if (redocks_ == maxRedocks) {
        app::log("the tray does not show the icon");
        return;
    }
    ++redocks_;
    app::log("the tray does not show the icon; asking it again");
    icon_->hide();  // Qt sends a new dock request with a new window when shown again
    icon_->show();
    dockCheck_.start();
}

void TrayItem::setMenu(QMenu* menu) {
    menu_ = menu;
    if (icon_) icon_->setContextMenu(menu);
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
    if (icon_) icon_->setToolTip(QString::fromStdString(tip));
}

void TrayItem::redraw() {
    if (!icon_) return;
    QIcon mark = markImage_(blocking_);
    if (dimmed_) {
        // The disabled mode of the mark's own pixmaps is the platform's dimmed look.
        QIcon dim;
        for (QSize size : {QSize(16, 16), QSize(22, 22), QSize(32, 32), QSize(64, 64)}) {
            dim.addPixmap(mark.pixmap(size, QIcon::Disabled));
        }
        mark = dim;
    }
    icon_->setIcon(mark);
}

}  // namespace tarrow::ui
