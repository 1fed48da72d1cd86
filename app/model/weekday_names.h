#pragma once
// The locale's names of the weekdays as the day chips of the Schedules tab show them:
// the full name for the tool tip and the accessible name, and a short label for the chip.

#include <array>
#include <string>
#include <string_view>

namespace tarrow {

struct WeekdayNames {
    // Indexed by weekday number, 1 Sunday to 7 Saturday; index 0 stays empty.
    std::array<std::string, 8> full;
    std::array<std::string, 8> chip;
};

// The chip label is the first two characters of the locale's abbreviated name ("Mo",
// "Di"). Where that leaves two days alike (Arabic abbreviations all begin with the same
// article) the locale's narrow names are used, and failing those the abbreviations whole,
// so no two chips ever read the same.
WeekdayNames weekdayNames(std::string_view locale);

}  // namespace tarrow
