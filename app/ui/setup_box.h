#pragma once
// The "Blocking" box at the top of the settings tabs while the helper does not work:
// what is wrong in a sentence, and the buttons that set the helper up or remove it.

#include <QGroupBox>
#include <functional>
#include <optional>

#include "app/model/helper_state.h"

class QLabel;
class QPushButton;

namespace tarrow::ui {

class SetupBox final : public QGroupBox {
  public:
    // Either action may be empty (the button then does nothing).
    SetupBox(std::function<void()> setUp, std::function<void()> removeHelper,
             QWidget* parent = nullptr);

    // Hidden while the helper works; otherwise the text and buttons for its state.
    void showHelper(Helper helper);
    // The General tab keeps the box while the helper works: its text then says so, and
    // "Remove Helper…" is the one button.
    void keepWhileWorking();

    QPushButton* setUpButton() const { return setUp_; }
    QPushButton* removeButton() const { return remove_; }
    QLabel* textLabel() const { return text_; }

  private:
    QLabel* text_;
    QPushButton* setUp_;
    QPushButton* remove_;
    std::optional<Helper> shown_;
    bool whileWorking_ = false;
};

}  // namespace tarrow::ui
