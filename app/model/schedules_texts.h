#pragma once
// The fixed texts of the Schedules tab and the lines each row builds from the schedule's
// description ("Weekdays, 09:00–12:00").

#include <string>
#include <string_view>

#include "app/model/calendar.h"
#include "app/model/config.h"

namespace tarrow {

inline constexpr std::string_view addScheduleTitle = "Add Schedule";
inline constexpr std::string_view toWord = "to";
inline constexpr std::string_view removeScheduleTip = "Remove this schedule";
inline constexpr std::string_view okayNowFootnote =
    "\u201COkay, now\u201D works at any time; the next schedule starts as planned. An end before "
    "the start runs past midnight.";

// "Schedules only run while Tarrow is open."
std::string onlyWhileOpen();

// What one row says about its schedule, to the eye and to a screen reader.
struct ScheduleRowTexts {
    std::string switchName;  // "Schedule " + description
    std::string startName;   // "Start, " + description
    std::string endName;     // "End, " + description
    std::string removeName;  // "Remove schedule " + description
    std::string offCaption;  // under a switched-off row: "Off – switch on to say tarrow on " + …

    friend bool operator==(const ScheduleRowTexts&, const ScheduleRowTexts&) = default;
};
ScheduleRowTexts scheduleRowTexts(const Schedule& schedule, const Calendar& calendar);

}  // namespace tarrow
