#include "app/model/evaluation.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

// Instants are written with their local offset so that each case reads in wall-clock
// time of its zone.
Instant t(const char* text) {
    auto v = parseIso(text);
    if (!v) ADD_FAILURE() << "bad instant in test: " << text;
    return v.value_or(Instant{});
}

std::optional<Instant> opt(const char* text) {
    if (!text) return std::nullopt;
    return t(text);
}

Schedule sched(std::set<int> days, int start, int end, bool enabled = true) {
    return Schedule{"00000000-0000-0000-0000-000000000000", enabled, std::move(days), start, end};
}

const std::set<int> weekdays = {2, 3, 4, 5, 6};

struct EndCase {
    const char* name;
    const char* zone;
    Schedule schedule;
    const char* now;
    const char* end;        // null: not running
    const char* nextStart;  // null: none
};

class EndAndNext : public testing::TestWithParam<EndCase> {};

TEST_P(EndAndNext, MatchesTheWallClock) {
    const EndCase& c = GetParam();
    Calendar cal(c.zone, "en_US");
    EXPECT_EQ(end(c.schedule, t(c.now), cal), opt(c.end)) << "end";
    EXPECT_EQ(nextStart(c.schedule, t(c.now), cal), opt(c.nextStart)) << "next start";
}

// 2026-10-23 is a Friday; Berlin leaves summer time on 2026-10-25 (03:00 back to 02:00)
// and enters it on 2027-03-28 (02:00 on to 03:00).
const EndCase endCases[] = {
    {"weekdays_seconds_ignored", "Europe/Berlin", sched(weekdays, 480, 720),
     "2026-10-23T11:59:59+02:00", "2026-10-23T12:00:00+02:00", "2026-10-26T08:00:00+01:00"},
    {"weekdays_over_at_end_minute", "Europe/Berlin", sched(weekdays, 480, 720),
     "2026-10-23T12:00:00+02:00", nullptr, "2026-10-26T08:00:00+01:00"},
    {"overnight_start_is_not_next", "Europe/Berlin", sched({6}, 1320, 120),
     "2026-10-23T22:00:00+02:00", "2026-10-24T02:00:00+02:00", "2026-10-30T22:00:00+01:00"},
    {"overnight_ends_after_clock_goes_back", "Europe/Berlin", sched({7}, 1320, 180),
     "2026-10-24T23:00:00+02:00", "2026-10-25T03:00:00+01:00", "2026-10-31T22:00:00+01:00"},
    {"overnight_end_in_skipped_hour", "Europe/Berlin", sched({7}, 1320, 150),
     "2027-03-27T23:00:00+01:00", "2027-03-28T03:00:00+02:00", "2027-04-03T22:00:00+02:00"},
    {"start_in_skipped_hour", "Europe/Berlin", sched({1}, 150, 240), "2027-03-27T12:00:00+01:00",
     nullptr, "2027-03-28T03:00:00+02:00"},
    {"start_in_repeated_hour_is_first", "Europe/Berlin", sched({1}, 150, 240),
     "2026-10-24T12:00:00+02:00", nullptr, "2026-10-25T02:30:00+02:00"},
    {"second_pass_of_repeated_hour_runs", "Europe/Berlin", sched({1}, 120, 180),
     "2026-10-25T02:30:00+01:00", "2026-10-25T03:00:00+01:00", "2026-11-01T02:00:00+01:00"},
    {"disabled_never_runs", "Europe/Berlin", sched(weekdays, 480, 720, false),
     "2026-10-23T09:00:00+02:00", nullptr, nullptr},
    {"days_outside_week_never_match", "Europe/Berlin", sched({0, 8, -1, 99}, 480, 720),
     "2026-10-23T09:00:00+02:00", nullptr, nullptr},
    {"end_1440_is_midnight_of_the_day", "Europe/Berlin", sched({6}, 480, 1440),
     "2026-10-23T09:00:00+02:00", "2026-10-23T00:00:00+02:00", "2026-10-30T08:00:00+01:00"},
    {"negative_start_counts_back_from_midnight", "Asia/Tokyo", sched({6}, -30, 60),
     "2026-10-22T12:00:00+09:00", nullptr, "2026-10-22T23:30:00+09:00"},
    {"adelaide_running_over_the_change", "Australia/Adelaide", sched({7}, 1320, 600),
     "2026-10-04T01:00:00+09:30", "2026-10-04T10:00:00+10:30", "2026-10-10T22:00:00+10:30"},
    // Santiago skips from 00:00 to 01:00 on 2026-09-06: that day starts at 01:00, the
    // next one at midnight again.
    {"whole_day_after_skipped_midnight_ends_at_midnight", "America/Santiago", sched({1}, 0, 0),
     "2026-09-06T12:00:00-03:00", "2026-09-07T00:00:00-03:00", "2026-09-13T00:00:00-03:00"},
};

INSTANTIATE_TEST_SUITE_P(Zones, EndAndNext, testing::ValuesIn(endCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DayStart, IsLocalMidnight) {
    Calendar cal("Europe/Berlin", "en_US");
    EXPECT_EQ(dayStart(t("2026-10-25T23:59:00+01:00"), cal), t("2026-10-25T00:00:00+02:00"));
    EXPECT_EQ(dayStart(t("2027-03-28T12:00:00+02:00"), cal), t("2027-03-28T00:00:00+01:00"));
    Calendar kolkata("Asia/Kolkata", "en_IN");
    EXPECT_EQ(dayStart(t("2026-10-23T00:10:00+05:30"), kolkata), t("2026-10-23T00:00:00+05:30"));
}

// The Friday scenario of the menu: schedule, "Okay, Now", timed lock, manual switch.
struct EvalCase {
    const char* name;
    Config config;
    const char* now;
    bool on;
    Why why;
    std::optional<Instant> end, nextStart;
};

Config withWeekdays() {
    return Config({}, {sched(weekdays, 480, 720)});
}

Config with(Config c, auto change) {
    change(c);
    return c;
}

class Evaluate : public testing::TestWithParam<EvalCase> {};

TEST_P(Evaluate, GivesOnWhyEndAndNext) {
    Calendar cal("Europe/Berlin", "en_US");
    const EvalCase& c = GetParam();
    EXPECT_EQ(evaluate(c.config, t(c.now), cal), (Evaluation{c.on, c.why, c.end, c.nextStart}));
}

const Instant fri12 = t("2026-10-23T12:00:00+02:00");
const Instant mon08 = t("2026-10-26T08:00:00+01:00");

const EvalCase evalCases[] = {
    {"schedule_runs", withWeekdays(), "2026-10-23T09:00:00+02:00", true, Why::schedule(fri12),
     fri12, mon08},
    {"nothing_set_no_schedules", Config(), "2026-10-23T09:00:00+02:00", false, Why::off(),
     std::nullopt, std::nullopt},
    {"after_end_is_open_with_next", withWeekdays(), "2026-10-23T13:00:00+02:00", false, Why::off(),
     std::nullopt, mon08},
    {"paused_while_running", with(withWeekdays(), [](Config& c) { c.offUntil = fri12; }),
     "2026-10-23T11:59:00+02:00", false, Why::paused(fri12), fri12, mon08},
    {"expired_pause_is_ignored",
     with(withWeekdays(), [](Config& c) { c.offUntil = t("2026-10-23T09:00:00+02:00"); }),
     "2026-10-23T09:00:00+02:00", true, Why::schedule(fri12), fri12, mon08},
    {"pause_without_running_schedule_is_off",
     with(withWeekdays(), [](Config& c) { c.offUntil = t("2026-10-30T12:00:00+01:00"); }),
     "2026-10-24T09:00:00+02:00", false, Why::off(), std::nullopt, mon08},
    {"manual_beats_pause",
     with(withWeekdays(), [](Config& c) { c.manualOn = true, c.offUntil = fri12; }),
     "2026-10-23T09:00:00+02:00", true, Why::manual(), fri12, mon08},
    {"timed_beats_manual",
     with(withWeekdays(),
          [](Config& c) { c.manualOn = true, c.onUntil = t("2026-10-23T09:25:00+02:00"); }),
     "2026-10-23T09:20:00+02:00", true, Why::timed(t("2026-10-23T09:25:00+02:00")), fri12, mon08},
    {"expired_timed_falls_to_schedule",
     with(withWeekdays(), [](Config& c) { c.onUntil = t("2026-10-23T09:25:00+02:00"); }),
     "2026-10-23T09:25:00+02:00", true, Why::schedule(fri12), fri12, mon08},
    {"latest_end_of_several",
     Config({}, {sched(weekdays, 480, 720), sched({6}, 540, 900), sched({6}, 600, 660, false)}),
     "2026-10-23T10:30:00+02:00", true, Why::schedule(t("2026-10-23T15:00:00+02:00")),
     t("2026-10-23T15:00:00+02:00"), mon08},
    {"earliest_next_of_several", Config({}, {sched(weekdays, 480, 720), sched({7}, 1200, 1260)}),
     "2026-10-23T13:00:00+02:00", false, Why::off(), std::nullopt, t("2026-10-24T20:00:00+02:00")},
};

INSTANTIATE_TEST_SUITE_P(Friday, Evaluate, testing::ValuesIn(evalCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The menu's actions: "Okay, Now" (switched off), switched on, and a timed lock.
TEST(Switched, OkayNowOnAndLockedFor) {
    Calendar cal("Europe/Berlin", "en_US");
    const Instant nine = t("2026-10-23T09:00:00+02:00");
    // "Okay, Now" during a schedule skips it until its end.
    Config off = switched(
        with(withWeekdays(),
             [](Config& c) { c.manualOn = true, c.onUntil = t("2026-10-23T10:00:00+02:00"); }),
        false, nine, cal);
    EXPECT_FALSE(off.manualOn);
    EXPECT_EQ(off.onUntil, std::nullopt);
    EXPECT_EQ(off.offUntil, fri12);
    EXPECT_FALSE(evaluate(off, nine, cal).on);
    EXPECT_EQ(evaluate(off, t("2026-10-23T11:59:00+02:00"), cal).why, Why::paused(fri12));
    off.offUntil.reset();  // what the tick does once it has passed
    auto monday = evaluate(off, mon08, cal);
    EXPECT_TRUE(monday.on);
    EXPECT_EQ(monday.why, Why::schedule(t("2026-10-26T12:00:00+01:00")));

    // Without a running schedule it clears the pause.
    const Instant sat = t("2026-10-24T09:00:00+02:00");
    off = switched(with(withWeekdays(), [](Config& c) { c.offUntil = fri12; }), false, sat, cal);
    EXPECT_EQ(off.offUntil, std::nullopt);
    EXPECT_EQ(evaluate(off, sat, cal).why, Why::off());

    // On is manual and clears both instants.
    const Instant one = t("2026-10-23T13:00:00+02:00");
    Config on = switched(
        with(withWeekdays(),
             [](Config& c) { c.onUntil = t("2026-10-23T14:00:00+02:00"), c.offUntil = fri12; }),
        true, one, cal);
    EXPECT_TRUE(on.manualOn);
    EXPECT_EQ(on.onUntil, std::nullopt);
    EXPECT_EQ(on.offUntil, std::nullopt);
    EXPECT_EQ(evaluate(on, one, cal), (Evaluation{true, Why::manual(), std::nullopt, mon08}));

    // A timed lock sets its end and clears the rest.
    Config locked = lockedFor(
        with(withWeekdays(), [](Config& c) { c.manualOn = true, c.offUntil = fri12; }), 25, nine);
    EXPECT_FALSE(locked.manualOn);
    EXPECT_EQ(locked.offUntil, std::nullopt);
    auto e = evaluate(locked, t("2026-10-23T09:20:00+02:00"), cal);
    EXPECT_EQ(e.why, Why::timed(t("2026-10-23T09:25:00+02:00")));
    EXPECT_TRUE(e.on);
}

// While a strict lock holds, a shorter lock, strict or not, ends no earlier.
TEST(Switched, AStrictLockIsNeverShortened) {
    Calendar cal("UTC", "en_US");
    const Instant nine = t("2026-10-23T09:00:00Z");
    const Config strict = lockedFor(Config{}, 60, nine, true);
    for (bool again : {false, true}) {
        const Config shorter = lockedFor(strict, 25, nine, again);
        EXPECT_EQ(shorter.strictUntil, t("2026-10-23T10:00:00Z"));
        const Evaluation e = evaluate(shorter, t("2026-10-23T09:30:00Z"), cal);
        EXPECT_EQ(e.why, Why::timed(t("2026-10-23T10:00:00Z")));
        EXPECT_TRUE(e.strict);
    }
    EXPECT_EQ(switched(strict, false, nine, cal), strict);
}

TEST(CalendarSetUp, UnknownZoneActsAsUtcAndOddLocalesStillWork) {
    Calendar odd("No/Such_Zone", "xx_YY");
    EXPECT_EQ(dayStart(t("2026-10-23T13:45:00Z"), odd), t("2026-10-23T00:00:00Z"));
    EXPECT_FALSE(odd.clock(t("2026-10-23T13:45:00Z")).empty());
    Calendar empty("UTC", "");
    EXPECT_EQ(empty.weekday(t("2026-10-23T13:45:00Z")), 6);
    Calendar current = Calendar::current();
    EXPECT_FALSE(current.zone().empty());
}

// The evaluation takes a short cut through days on which the clock does not change.
// These cases compare it with the rules worked step by step through the calendar, at
// instants all over a year in zones with whole-hour, half-hour and no changes, and one
// (Santiago) whose clock skips midnight.

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
