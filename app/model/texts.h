#pragma once
// Short English phrases that say whether blocking is on, why and until when.
// Fixed words are English in every locale; clock times and weekday names are the locale's.

#include <string>
#include <vector>

#include "app/model/calendar.h"
#include "app/model/config.h"
#include "app/model/evaluation.h"

namespace tarrow {

// The clock time on the same day as now, "tomorrow " + clock on the next day, else the
// short weekday, a space and the clock.
std::string when(Instant date, Instant from, const Calendar& calendar);

// The status line of the menu and the settings.
std::string statusLine(const Evaluation& evaluation, Instant now, const Calendar& calendar);

// "until …" for the block page, from an evaluation of the current configuration.
std::string untilLine(const Evaluation& evaluation, Instant now, const Calendar& calendar);

// "Blocked until …" for the card.
std::string cardLine(const Evaluation& evaluation, Instant now, const Calendar& calendar);

// The tool tip of the disabled "Okay, Now" while a strict lock holds.
std::string strictTip(Instant until, Instant now, const Calendar& calendar);

// The menu's first item and the status line while "Okay, Now" waits: "Opening in 0:42 – Cancel".
std::string openingLine(Instant opensAt, Instant now);

// 24-hour "HH:MM" of a minute count (1440 is 00:00).
std::string minutesText(int minutes);

// The seven weekday numbers in the calendar's display order.
std::vector<int> orderedWeekdays(const Calendar& calendar);

// One line naming the schedule's days and times, such as "Weekdays, 08:00–12:00".
std::string describe(const Schedule& schedule, const Calendar& calendar);

}  // namespace tarrow
