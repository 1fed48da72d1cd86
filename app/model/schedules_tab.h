#pragma once
// What the Schedules tab does, without its widgets. Every change goes straight into the
// store, which saves it; the next tick acts on it.
//
// A row is addressed by its place in the list together with the id it shows. Ids may
// repeat in a file edited by hand, so the place picks the one schedule a row stands for;
// the id makes sure a row whose schedule moved or went meanwhile changes nothing.

#include <cstddef>
#include <string>

#include "app/model/store.h"

namespace tarrow {

struct RowRef {
    size_t index = 0;
    std::string id;
};

// Minutes after midnight a time field can hold.
inline constexpr int lastMinute = 1439;

class SchedulesTab {
  public:
    explicit SchedulesTab(Store& store) : store_(store) {}

    // Appends Monday to Friday, 09:00 to 12:00, switched on.
    void add();
    // Each returns false and changes nothing when the row is gone, or for a day outside
    // 1..7 or minutes outside 0..1439. Other odd values already stored in the schedule
    // (days outside 1..7, times out of range) stay as they are.
    bool setEnabled(const RowRef& row, bool on);
    bool setDay(const RowRef& row, int day, bool on);
    bool setStart(const RowRef& row, int minutes);
    bool setEnd(const RowRef& row, int minutes);
    // Removes this row's schedule only, also when another one has the same id.
    bool remove(const RowRef& row);

  private:
    template <typename Change>
    bool change(const RowRef& row, Change change);

    Store& store_;
};

}  // namespace tarrow
