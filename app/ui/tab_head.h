#pragma once
// The top of the Sites and Schedules tabs: the "Blocking" box while the helper does not
// work, and the line that says what blocks now. Both follow the store.

#include <functional>

#include "app/model/store.h"

class QLabel;
class QVBoxLayout;
class QWidget;

namespace tarrow::ui {

class SetupBox;

class TabHead final {
  public:
    // Adds the box and the line to the tab's column.
    TabHead(const Store& store, std::function<void()> setUp, std::function<void()> removeHelper,
            QVBoxLayout* column, QWidget* tab);

    // Shows a change of the helper or the status; false for the fields it does not show.
    bool follow(StoreField field);

    SetupBox* setupBox() const { return setup_; }
    QLabel* statusLabel() const { return status_; }

  private:
    const Store& store_;
    SetupBox* setup_;
    QLabel* status_;
};

}  // namespace tarrow::ui
