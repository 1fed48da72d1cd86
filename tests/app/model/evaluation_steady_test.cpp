// The evaluation takes a short cut through days on which the clock does not change.
// These cases compare it with the rules worked step by step through the calendar, at
// instants all over a year in zones with whole-hour, half-hour and no changes, and one
// (Santiago) whose clock skips midnight.

#include <gtest/gtest.h>

#include "app/model/evaluation.h"

namespace tarrow {
namespace {

std::optional<Instant> referenceEnd(const Schedule& s, Instant now, const Calendar& cal) {
    if (!s.enabled || s.days.empty()) return std::nullopt;
    const Instant today = cal.dayStart(now);
    const Instant tomorrow = cal.dayStart(cal.addDays(today, 1));
    const int m = cal.minuteOfDay(now);
    const int w = cal.weekday(now);
    const int y = w == 1 ? 7 : w - 1;
    if (s.start < s.end)
        return s.days.count(w) && s.start <= m && m < s.end ? std::optional(at(today, s.end, cal))
                                                            : std::nullopt;
    if (s.start == s.end) return s.days.count(w) ? std::optional(tomorrow) : std::nullopt;
    if (s.days.count(w) && m >= s.start) return at(tomorrow, s.end, cal);
    if (s.days.count(y) && m < s.end) return at(today, s.end, cal);
    return std::nullopt;
}

std::optional<Instant> referenceNext(const Schedule& s, Instant now, const Calendar& cal) {
    if (!s.enabled) return std::nullopt;
    const Instant today = cal.dayStart(now);
    for (int offset = 0; offset < 8; ++offset) {
        const Instant day = cal.dayStart(cal.addDays(today, offset));
        if (!s.days.count(cal.weekday(day))) continue;
        const Instant candidate = at(day, s.start, cal);
        if (candidate > now) return candidate;
    }
    return std::nullopt;
}

// Every 7 hours and 13 minutes over a year: all weekdays and clock times get hit, and
// every change of the clock lies inside some nine-day window.
TEST(Steady, AgreesWithTheCalendarStepByStep) {
    const std::vector<Schedule> schedules = {
        {"", true, {2, 3, 4, 5, 6}, 480, 720},
        {"", true, {1}, 120, 180},
        {"", true, {7}, 1320, 150},
        {"", true, {1, 7}, 0, 0},
        {"", true, {1, 2, 3, 4, 5, 6, 7}, 1410, 30},
        {"", true, {4}, 1500, -20},
    };
    const Instant from = *parseIso("2026-01-01T00:00:00Z");
    for (const char* zone :
         {"Europe/Berlin", "America/New_York", "Asia/Tokyo", "Asia/Kolkata", "Australia/Adelaide",
          "Australia/Lord_Howe", "America/Santiago", "UTC"}) {
        Calendar cal(zone, "en_US");
        for (Instant now = from; now < from + std::chrono::days{366};
             now += std::chrono::minutes{7 * 60 + 13})
            for (const Schedule& s : schedules) {
                ASSERT_EQ(end(s, now, cal), referenceEnd(s, now, cal))
                    << zone << " " << isoText(now);
                ASSERT_EQ(nextStart(s, now, cal), referenceNext(s, now, cal))
                    << zone << " " << isoText(now);
            }
    }
}

}  // namespace
}  // namespace tarrow
