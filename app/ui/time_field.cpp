#include "app/ui/time_field.h"

#include <QSignalBlocker>

namespace tarrow::ui {

namespace {

constexpr int day = 24 * 60;

QTime clockOf(int minutes) {
    const int m = ((minutes % day) + day) % day;
    return QTime(m / 60, m % 60);
}

}  // namespace

TimeField::TimeField(const QLocale& locale, std::function<void(int)> changed, QWidget* parent)
    : QTimeEdit(parent) {
    setLocale(locale);
    setDisplayFormat(locale.timeFormat(QLocale::ShortFormat));
    setTimeSpec(Qt::LocalTime);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QTimeEdit::timeChanged, this, [this, changed](QTime time) {
        shown_ = time.hour() * 60 + time.minute();
        changed(shown_);
    });
}

void TimeField::showMinutes(int minutes) {
    if (minutes == shown_) return;
    shown_ = minutes;
    const QTime clock = clockOf(minutes);
    if (clock == time()) return;
    const QSignalBlocker quiet(this);
    setTime(clock);
}

}  // namespace tarrow::ui
