#pragma once
// The tray icon. Without a tray (no tray host yet, or the offscreen platform) the item
// lives on in memory, keeps its image, menu and tool tip, and shows itself once a tray
// appears: an XEmbed tray or a StatusNotifierItem host, whichever comes first. The Qt
// icon is made only then, because Qt chooses between the two kinds once, when it makes
// its first icon. A tray that restarts later gets the icon again through Qt. An XEmbed
// tray that drops the icon's dock request (some do while they start up, after announcing
// themselves) is asked again.

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "app/controller/status_item.h"

class QMenu;

namespace tarrow::ui {

class TrayItem final : public QObject, public app::StatusItem {
  public:
    // markImage draws the mark, as blocking or not.
    explicit TrayItem(std::function<QIcon(bool blocking)> markImage, QObject* parent = nullptr);

    void setMark(bool blocking) override;
    void setDimmed(bool dimmed) override;
    const std::string& toolTip() const override { return toolTip_; }
    void setToolTip(const std::string& tip, const std::string& name,
                    const std::string& value) override;

    void setMenu(QMenu* menu);
    // Called once when a tray appears after the item was made (trayFound() turns true).
    void onTrayFound(std::function<void()> found) { found_ = std::move(found); }
    // The Qt icon, once a tray has appeared; null before.
    QSystemTrayIcon* icon() { return icon_.get(); }
    bool shown() const { return icon_ && icon_->isVisible(); }
    // A tray host was there when last looked for (or the icon is made already).
    bool trayFound() const { return icon_ != nullptr; }
    bool blocking() const { return blocking_; }
    bool dimmed() const { return dimmed_; }
    const std::string& accessibleName() const { return accessibleName_; }
    const std::string& accessibleValue() const { return accessibleValue_; }

  private:
    void showWhenPossible();
    void redraw();
    void checkDocked();

    std::function<QIcon(bool)> markImage_;
    std::function<void()> found_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    QPointer<QMenu> menu_;
    QTimer look_;       // for a tray, until one appears
    QTimer dockCheck_;  // whether an XEmbed tray took the icon in
    int redocks_ = 0;
    bool saidNoTray_ = false;
    bool blocking_ = false;
    bool dimmed_ = false;
    std::string toolTip_, accessibleName_, accessibleValue_;
};

}  // namespace tarrow::ui
