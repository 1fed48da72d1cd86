#pragma once
// The tray icon. Without a tray (no tray host yet, or the offscreen platform) the item
// lives on in memory, keeps its image and tool tip, and shows itself once a tray appears.

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>
#include <string>

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

    void setMenu(QMenu* menu) { icon_.setContextMenu(menu); }
    QSystemTrayIcon& icon() { return icon_; }
    bool shown() const { return icon_.isVisible(); }
    bool blocking() const { return blocking_; }
    bool dimmed() const { return dimmed_; }
    const std::string& accessibleName() const { return accessibleName_; }
    const std::string& accessibleValue() const { return accessibleValue_; }

  private:
    void showWhenPossible();
    void redraw();

    std::function<QIcon(bool)> markImage_;
    QSystemTrayIcon icon_;
    QTimer retry_;
    bool blocking_ = false;
    bool dimmed_ = false;
    std::string toolTip_, accessibleName_, accessibleValue_;
};

}  // namespace tarrow::ui
