#include "app/model/texts.h"

#include <algorithm>
#include <cstdio>

namespace tarrow {

std::string when(Instant date, Instant from, const Calendar& calendar) {
    const Instant day = calendar.dayStart(date);
    const Instant today = calendar.dayStart(from);
    if (day == today) return calendar.clock(date);
    if (day == calendar.dayStart(calendar.addDays(today, 1)))
        return "tomorrow " + calendar.clock(date);
    return calendar.weekdayShort(date) + " " + calendar.clock(date);
}

std::string statusLine(const Evaluation& e, Instant now, const Calendar& calendar) {
    switch (e.why.kind) {
        case Why::Kind::timed:
            if (e.strict) return "Blocking until " + when(e.why.at, now, calendar) + " – strict";
            return "Tarrow – until " + when(e.why.at, now, calendar);
        case Why::Kind::schedule:
            return "Tarrow – until " + when(e.why.at, now, calendar) + ", on schedule";
        case Why::Kind::paused:
            return "Okay, now – schedule skipped until " + when(e.why.at, now, calendar);
        case Why::Kind::manual:
            return "Tarrow – until you say okay";
        case Why::Kind::off:
            break;
    }
    if (e.nextStart) return "Everything open – next schedule " + when(*e.nextStart, now, calendar);
    return "Everything open";
}

std::string untilLine(const Evaluation& e, Instant now, const Calendar& calendar) {
    switch (e.why.kind) {
        case Why::Kind::schedule:
            return "until " + when(e.why.at, now, calendar) + ", on schedule";
        case Why::Kind::timed:
            return "until " + when(e.why.at, now, calendar);
        default:
            return "until you say okay";
    }
}

std::string cardLine(const Evaluation& e, Instant now, const Calendar& calendar) {
    switch (e.why.kind) {
        case Why::Kind::schedule:
            return "Blocked until " + when(e.why.at, now, calendar) + ", on schedule.";
        case Why::Kind::timed:
            return "Blocked until " + when(e.why.at, now, calendar) + ".";
        default:
            return "Blocked until you say okay.";
    }
}

std::string strictTip(Instant until, Instant now, const Calendar& calendar) {
    return "Locked until " + when(until, now, calendar) +
           ". A strict lock can\u2019t be ended early.";
}

std::string openingLine(Instant opensAt, Instant now) {
    const long left = std::max<long>(0, static_cast<long>((opensAt - now).count()));
    char buf[48];
    std::snprintf(buf, sizeof buf, "Opening in %ld:%02ld \u2013 Cancel", left / 60, left % 60);
    return buf;
}

std::string minutesText(int minutes) {
    // Counts below zero are written as the clock time they fall on (the day before), so
    // the text is always two digits, a colon and two digits.
    const int m = ((minutes % 1440) + 1440) % 1440;
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d:%02d", m / 60, m % 60);
    return buf;
}

std::vector<int> orderedWeekdays(const Calendar& calendar) {
    const int first = calendar.firstWeekday();
    std::vector<int> days;
    for (int i = 0; i < 7; ++i) days.push_back((first - 1 + i) % 7 + 1);
    return days;
}

std::string describe(const Schedule& schedule, const Calendar& calendar) {
    const std::set<int>& d = schedule.days;
    std::string dayPart;
    if (d == std::set<int>{2, 3, 4, 5, 6}) {
        dayPart = "Weekdays";
    } else if (d == std::set<int>{1, 7}) {
        dayPart = "Weekends";
    } else if (d == std::set<int>{1, 2, 3, 4, 5, 6, 7}) {
        dayPart = "Every day";
    } else if (d.empty()) {
        dayPart = "No days";
    } else {
        for (int day : orderedWeekdays(calendar)) {
            if (!d.count(day)) continue;
            if (!dayPart.empty()) dayPart += ", ";
            dayPart += calendar.shortWeekdaySymbol(day);
        }
        // Only numbers that are no weekday: the schedule never runs.
        if (dayPart.empty()) dayPart = "No days";
    }
    const std::string timePart =
        schedule.start == schedule.end
            ? "all day"
            : minutesText(schedule.start) + "–" + minutesText(schedule.end);
    return dayPart + ", " + timePart;
}

}  // namespace tarrow
