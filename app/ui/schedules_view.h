#pragma once
// The Schedules tab: the set-up box, the status line, one row per schedule, "Add
// Schedule" and the two footnotes. What an edit does is `SchedulesTab`'s; this draws the
// store's schedules and passes the user's edits on.

#include <QIcon>
#include <QLocale>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/model/calendar.h"
#include "app/model/schedules_tab.h"
#include "app/model/weekday_names.h"
#include "app/ui/tab_head.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

namespace tarrow::ui {

class ScheduleRow;
class SetupBox;
class StoreSignals;

struct SchedulesHooks {
    std::function<void()> setUp;
    std::function<void()> removeHelper;
};

class SchedulesView final : public QWidget {
  public:
    // The calendar gives the week's order, the day names and the clock; it must outlive
    // the view.
    SchedulesView(StoreSignals& observed, const Calendar& calendar, SchedulesHooks hooks,
                  QWidget* parent = nullptr);

    SetupBox* setupBox() const { return head_->setupBox(); }
    QLabel* statusLabel() const { return head_->statusLabel(); }
    QPushButton* addButton() const { return add_; }
    QScrollArea* list() const { return scroll_; }
    size_t rowCount() const { return rows_.size(); }
    ScheduleRow* row(size_t index) const { return index < rows_.size() ? rows_[index] : nullptr; }

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void storeChanged(StoreField field);
    void redraw();
    ScheduleRow* makeRow(size_t index);
    RowRef ref(size_t index) const { return {index, shownIds_[index]}; }
    void edited(bool taken);
    void added();
    void chainFocus();

    Store& store_;
    const Calendar& calendar_;
    SchedulesTab tab_;
    SchedulesHooks hooks_;
    std::vector<int> week_;
    WeekdayNames names_;
    QLocale locale_;
    QIcon removeIcon_;
    std::optional<TabHead> head_;  // made in the constructor, once the column exists
    QScrollArea* scroll_;
    QVBoxLayout* rowsLayout_;
    QPushButton* add_;
    std::vector<ScheduleRow*> rows_;
    std::vector<std::string> shownIds_;  // the id each row shows, by row
    bool stale_ = true;                  // the rows missed changes while off screen
};

}  // namespace tarrow::ui
