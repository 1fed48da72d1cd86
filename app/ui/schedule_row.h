#pragma once
// One row of the Schedules tab: a switch, the seven day chips in the locale's week, the
// start, "to", the end and a remove button; under a switched-off schedule, a caption
// that says so.

#include <QWidget>
#include <array>
#include <functional>
#include <vector>

#include "app/model/config.h"
#include "app/model/schedules_texts.h"

class QCheckBox;
class QIcon;
class QLabel;
class QLocale;
class QToolButton;

namespace tarrow {
struct WeekdayNames;
}

namespace tarrow::ui {

class DayChip;
class MutedLabel;
class TimeField;

class ScheduleRow final : public QWidget {
  public:
    // What the user changed in this row; none of these run when `fill` sets the state.
    struct Edits {
        std::function<void(bool on)> enabled;
        std::function<void(int day, bool on)> day;
        std::function<void(int minutes)> start;
        std::function<void(int minutes)> end;
        std::function<void()> removed;
    };
    // `week` holds the seven weekday numbers in display order.
    ScheduleRow(const std::vector<int>& week, const WeekdayNames& names, const QLocale& locale,
                const QIcon& removeIcon, Edits edits, QWidget* parent = nullptr);

    // Shows the schedule; changes only what differs from what is shown.
    void fill(const Schedule& schedule, const ScheduleRowTexts& texts);

    QCheckBox* enabledSwitch() const { return switch_; }
    DayChip* chip(int day) const;  // by weekday number 1..7
    TimeField* startField() const { return start_; }
    TimeField* endField() const { return end_; }
    QToolButton* removeButton() const { return remove_; }
    QLabel* caption() const;
    // The controls in the order Tab reaches them.
    std::vector<QWidget*> controls() const;

  protected:
    void changeEvent(QEvent* event) override;

  private:
    QCheckBox* switch_;
    std::array<DayChip*, 8> chips_{};  // by weekday number
    std::vector<int> week_;
    TimeField* start_;
    QLabel* to_;
    TimeField* end_;
    QToolButton* remove_;
    MutedLabel* caption_;
    ScheduleRowTexts texts_;
    bool shown_ = false;
};

}  // namespace tarrow::ui
