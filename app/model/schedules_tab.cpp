#include "app/model/schedules_tab.h"

namespace tarrow {

namespace {

bool validMinutes(int minutes) {
    return minutes >= 0 && minutes <= lastMinute;
}

}  // namespace

void SchedulesTab::add() {
    Config config = store_.config();
    config.schedules.push_back(Schedule::make(true, {2, 3, 4, 5, 6}, 9 * 60, 12 * 60));
    store_.setConfig(std::move(config));
}

template <typename Change>
bool SchedulesTab::change(const RowRef& row, Change change) {
    const std::vector<Schedule>& now = store_.config().schedules;
    if (row.index >= now.size() || now[row.index].id != row.id) return false;
    Config config = store_.config();
    change(config.schedules[row.index]);
    store_.setConfig(std::move(config));
    return true;
}

bool SchedulesTab::setEnabled(const RowRef& row, bool on) {
    return change(row, [on](Schedule& s) { s.enabled = on; });
}

bool SchedulesTab::setDay(const RowRef& row, int day, bool on) {
    if (day < 1 || day > 7) return false;
    return change(row, [day, on](Schedule& s) {
        if (on)
            s.days.insert(day);
        else
            s.days.erase(day);
    });
}

bool SchedulesTab::setStart(const RowRef& row, int minutes) {
    if (!validMinutes(minutes)) return false;
    return change(row, [minutes](Schedule& s) { s.start = minutes; });
}

bool SchedulesTab::setEnd(const RowRef& row, int minutes) {
    if (!validMinutes(minutes)) return false;
    return change(row, [minutes](Schedule& s) { s.end = minutes; });
}

bool SchedulesTab::remove(const RowRef& row) {
    const std::vector<Schedule>& now = store_.config().schedules;
    if (row.index >= now.size() || now[row.index].id != row.id) return false;
    Config config = store_.config();
    config.schedules.erase(config.schedules.begin() + std::ptrdiff_t(row.index));
    store_.setConfig(std::move(config));
    return true;
}

}  // namespace tarrow
