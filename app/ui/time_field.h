#pragma once
// A schedule's start or end: hours and minutes in the locale's own clock (12 or 24
// hours), written back as minutes after midnight.

#include <QTimeEdit>
#include <functional>

namespace tarrow::ui {

class TimeField final : public QTimeEdit {
  public:
    // `changed` gets hour × 60 + minute after each change the user makes.
    TimeField(const QLocale& locale, std::function<void(int minutes)> changed,
              QWidget* parent = nullptr);

    // Shows a stored value without reporting it back. Values outside a day (a file edited
    // by hand) show as the clock time they name: 1440 is 00:00, -60 is 23:00.
    void showMinutes(int minutes);
    int shownMinutes() const { return shown_; }

  private:
    int shown_ = -1;
};

}  // namespace tarrow::ui
