#pragma once
// The small window of a first start while blocking is not set up: what the app is,
// where to find it, "Later" (Escape) and "Set Up Blocking…" (Return). Made once and kept;
// closing hides it.

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

namespace tarrow::ui {

class WelcomeWindow final : public QDialog {
  public:
    // `setUp` runs after the window has closed, when the user chose to set up. Without a
    // `tray` the window says where else the app is found.
    explicit WelcomeWindow(std::function<void()> setUp, bool tray = true,
                           QWidget* parent = nullptr);

    // Centred on the screen, in front and active.
    void present();

    QPushButton* laterButton() const { return later_; }
    QPushButton* setUpButton() const { return setUp_; }

  private:
    QPushButton* later_;
    QPushButton* setUp_;
    bool placed_ = false;
};

}  // namespace tarrow::ui
