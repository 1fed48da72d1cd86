// Schedules, timed locks and the main switch say when blocking is on: the evaluation
// against a step-by-step reading of the rules all over a year in odd zones, and the edges
// (end minutes, clock changes, expired locks, strict locks) a hand-picked row pins.

#include <gtest/gtest.h>

#include "app/model/evaluation.h"

namespace tarrow {
namespace {

using namespace std::chrono_literals;

Instant t(const char* text) {
    auto v = parseIso(text);
    if (!v) ADD_FAILURE() << "bad instant in test: " << text;
    return v.value_or(Instant{});
}

Schedule sched(std::set<int> days, int start, int end, bool enabled = true) {
    return Schedule{"", enabled, std::move(days), start, end};
}

const std::set<int> weekdays = {2, 3, 4, 5, 6};

std::optional<Instant> referenceEnd(const Schedule& s, Instant now, const Calendar& cal) {
    if (!s.enabled || s.days.empty()) return std::nullopt;
    const Instant today = cal.dayStart(now);
    const Instant tomorrow = cal.dayStart(cal.addDays(today, 1));
    const int m = cal.minuteOfDay(now), w = cal.weekday(now), y = w == 1 ? 7 : w - 1;
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
    for (int offset = 0; offset < 8; ++offset) {
        const Instant day = cal.dayStart(cal.addDays(cal.dayStart(now), offset));
        if (!s.days.count(cal.weekday(day))) continue;
        if (const Instant candidate = at(day, s.start, cal); candidate > now) return candidate;
    }
    return std::nullopt;
}

// The evaluation takes a short cut through days on which the clock does not change. Every
// 7 hours and 13 minutes over a year every weekday and clock time is hit and every change
// of the clock lies inside some nine-day window; Santiago's clock skips midnight.
TEST(Schedules, AgreeWithTheRulesReadStepByStep) {
    const std::vector<Schedule> schedules = {
        sched(weekdays, 480, 720),   sched({1}, 120, 180),
        sched({7}, 1320, 150),       sched({1, 7}, 0, 0),
        sched({0, 4, 8}, 1500, -20), sched({1, 2, 3, 4, 5, 6, 7}, 1410, 30),
        sched({0, 9}, 60, 120),
    };
    const Instant from = t("2026-01-01T00:00:00Z");
    for (const char* zone : {"Europe/Berlin", "America/New_York", "Asia/Kolkata",
                             "Australia/Lord_Howe", "America/Santiago", "UTC"}) {
        Calendar cal(zone, "en_US");
        for (Instant now = from; now < from + std::chrono::days{366};
             now += std::chrono::minutes{7 * 60 + 13})
            for (const Schedule& s : schedules) {
                ASSERT_EQ(end(s, now, cal), referenceEnd(s, now, cal)) << zone << isoText(now);
                ASSERT_EQ(nextStart(s, now, cal), referenceNext(s, now, cal))
                    << zone << isoText(now);
            }
    }
}

// Times a clock change skips or repeats, a midnight that does not exist, a zone unknown.
TEST(Schedules, EdgesOfTheWallClock) {
    struct Case {
        const char* zone;
        Schedule schedule;
        const char* now;
        std::optional<Instant> end, nextStart;
    };
    // 2026-10-23 is a Friday; Berlin leaves summer time on 2026-10-25 and enters it on
    // 2027-03-28.
    const Case cases[] = {
        {"Europe/Berlin", sched({7}, 1320, 150), "2027-03-27T23:00:00+01:00",
         t("2027-03-28T03:00:00+02:00"), t("2027-04-03T22:00:00+02:00")},
        {"Europe/Berlin", sched({1}, 150, 240), "2026-10-24T12:00:00+02:00", std::nullopt,
         t("2026-10-25T02:30:00+02:00")},
        {"America/Santiago", sched({1}, 0, 0), "2026-09-06T12:00:00-03:00",
         t("2026-09-07T00:00:00-03:00"), t("2026-09-13T00:00:00-03:00")},
        {"No/Such_Zone", sched({6}, 480, 720), "2026-10-23T09:00:00Z", t("2026-10-23T12:00:00Z"),
         t("2026-10-30T08:00:00Z")},
    };
    for (const Case& c : cases) {
        Calendar cal(c.zone, "en_US");
        EXPECT_EQ(end(c.schedule, t(c.now), cal), c.end) << c.zone << c.now;
        EXPECT_EQ(nextStart(c.schedule, t(c.now), cal), c.nextStart) << c.zone << c.now;
    }
}

const Instant fri12 = t("2026-10-23T12:00:00+02:00");
const Instant mon08 = t("2026-10-26T08:00:00+01:00");

Config friday(auto change) {
    Config c({}, {sched(weekdays, 480, 720)});
    change(c);
    return c;
}

// Which of timed lock, manual switch, "Okay, Now" and schedule wins, and why.
TEST(Evaluate, OnWhyEndAndNext) {
    Calendar cal("Europe/Berlin", "en_US");
    const Instant lockEnd = t("2026-10-23T09:25:00+02:00");
    struct Case {
        const char* name;
        Config config;
        const char* now;
        bool on;
        Why why;
        std::optional<Instant> end, next;
    };
    const Case cases[] = {
        {"manual beats pause", friday([](Config& c) { c.manualOn = true, c.offUntil = fri12; }),
         "2026-10-23T09:00:00+02:00", true, Why::manual(), fri12, mon08},
        {"timed beats manual", friday([&](Config& c) { c.manualOn = true, c.onUntil = lockEnd; }),
         "2026-10-23T09:20:00+02:00", true, Why::timed(lockEnd), fri12, mon08},
        {"expired timed falls to schedule", friday([&](Config& c) { c.onUntil = lockEnd; }),
         "2026-10-23T09:25:00+02:00", true, Why::schedule(fri12), fri12, mon08},
        {"latest end, earliest next",
         Config({}, {sched(weekdays, 480, 720), sched({6}, 540, 900), sched({7}, 600, 660)}),
         "2026-10-23T10:30:00+02:00", true, Why::schedule(t("2026-10-23T15:00:00+02:00")),
         t("2026-10-23T15:00:00+02:00"), t("2026-10-24T10:00:00+02:00")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(evaluate(c.config, t(c.now), cal), (Evaluation{c.on, c.why, c.end, c.next}))
            << c.name;
}

TEST(Evaluate, OkayNowOnAndLocks) {
    Calendar cal("Europe/Berlin", "en_US");
    const Instant nine = t("2026-10-23T09:00:00+02:00");
    // "Okay, Now" during a schedule skips it until its end and clears the rest.
    Config off =
        switched(friday([](Config& c) { c.manualOn = true, c.onUntil = fri12; }), false, nine, cal);
    EXPECT_EQ(std::tie(off.manualOn, off.onUntil, off.offUntil),
              std::tuple(false, std::nullopt, fri12));
    // On is manual and clears both instants; a lock sets its end and clears the rest.
    Config on =
        switched(friday([](Config& c) { c.onUntil = mon08, c.offUntil = fri12; }), true, nine, cal);
    EXPECT_EQ(std::tie(on.manualOn, on.onUntil, on.offUntil),
              std::tuple(true, std::nullopt, std::nullopt));
    Config locked = lockedFor(on, 25, nine);
    EXPECT_EQ(std::tie(locked.manualOn, locked.onUntil),
              std::tuple(false, t("2026-10-23T09:25:00+02:00")));
    // While a strict lock holds, a shorter lock ends no earlier and "Okay, Now" does nothing.
    const Config strict = lockedFor(Config{}, 60, nine, true);
    for (bool again : {false, true}) {
        const Evaluation e = evaluate(lockedFor(strict, 25, nine, again), nine + 1800s, cal);
        EXPECT_EQ(std::pair(e.why, e.strict), std::pair(Why::timed(nine + 3600s), true));
    }
    EXPECT_EQ(switched(strict, false, nine, cal), strict);
}

}  // namespace
}  // namespace tarrow
