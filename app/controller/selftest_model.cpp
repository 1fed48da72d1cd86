// Checks of the schedule engine, its texts and the site names, in a fixed zone.

#include "app/controller/selftest.h"
#include "app/model/evaluation.h"
#include "app/model/site_names.h"
#include "app/model/texts.h"

namespace tarrow::app {

namespace {

Instant t(const char* iso) {
    return parseIso(iso).value_or(Instant{});
}

Schedule schedule(std::set<int> days, int start, int end) {
    return Schedule{"00000000-0000-0000-0000-000000000000", true, std::move(days), start, end};
}

}  // namespace

std::vector<Check> modelChecks() {
    const Calendar berlin("Europe/Berlin", "en_US");
    const Schedule weekdays = schedule({2, 3, 4, 5, 6}, 480, 720);
    const Schedule fridayNight = schedule({6}, 1320, 120);
    const Schedule sunday = schedule({1}, 480, 720);
    Config withWeekdays;
    withWeekdays.schedules = {weekdays};
    const Instant friday9 = t("2026-10-23T09:00:00+02:00");
    const Config skipped = switched(withWeekdays, false, friday9, berlin);
    const Config locked = lockedFor(Config{}, 25, friday9);
    const Evaluation manual = evaluate(switched(Config{}, true, friday9, berlin), friday9, berlin);

    return {
        {"schedule: a weekday schedule runs at its start and ends on the clock",
         end(weekdays, t("2026-10-23T08:00:00+02:00"), berlin) == t("2026-10-23T12:00:00+02:00")},
        {"schedule: the end minute is no longer part of it",
         !end(weekdays, t("2026-10-23T12:00:00+02:00"), berlin) &&
             !end(weekdays, t("2026-10-24T09:00:00+02:00"), berlin)},
        {"schedule: the next start skips the weekend and the clock change",
         nextStart(weekdays, t("2026-10-23T13:00:00+02:00"), berlin) ==
             t("2026-10-26T08:00:00+01:00")},
        {"schedule: a night schedule runs past midnight",
         end(fridayNight, t("2026-10-23T23:00:00+02:00"), berlin) ==
                 t("2026-10-24T02:00:00+02:00") &&
             end(fridayNight, t("2026-10-24T01:00:00+02:00"), berlin) ==
                 t("2026-10-24T02:00:00+02:00") &&
             !end(fridayNight, t("2026-10-24T23:00:00+02:00"), berlin)},
        {"schedule: noon stays noon on the days the clocks change",
         end(sunday, t("2026-10-25T09:00:00+01:00"), berlin) == t("2026-10-25T12:00:00+01:00") &&
             end(sunday, t("2027-03-28T09:00:00+02:00"), berlin) == t("2027-03-28T12:00:00+02:00")},
        {"evaluate: a running schedule blocks until its end",
         evaluate(withWeekdays, friday9, berlin).why ==
             Why::schedule(t("2026-10-23T12:00:00+02:00"))},
        {"evaluate: okay, now skips the running schedule until its end",
         !evaluate(skipped, friday9, berlin).on &&
             evaluate(skipped, t("2026-10-23T11:59:00+02:00"), berlin).why ==
                 Why::paused(t("2026-10-23T12:00:00+02:00"))},
        {"evaluate: a timed lock holds until its end",
         evaluate(locked, t("2026-10-23T09:20:00+02:00"), berlin).why ==
                 Why::timed(t("2026-10-23T09:25:00+02:00")) &&
             !evaluate(locked, t("2026-10-23T09:25:00+02:00"), berlin).on},
        {"evaluate: nothing set is off with no next start",
         evaluate(Config{}, friday9, berlin) == Evaluation{}},
        {"texts: the status lines",
         statusLine(manual, friday9, berlin) == "Tarrow \u2013 until you say okay" &&
             statusLine(Evaluation{}, friday9, berlin) == "Everything open"},
        {"texts: schedule descriptions",
         describe(weekdays, berlin) == "Weekdays, 08:00\u201312:00" &&
             describe(schedule({1, 7}, 0, 0), berlin) == "Weekends, all day" &&
             minutesText(1440) == "00:00"},
        {"names: a pasted address becomes its bare domain",
         normalize("https://www.Example.com/watch?v=1") == "example.com" &&
             normalize(" user@example.com:8080/ ") == "example.com" &&
             normalize("*.example.com") == "example.com"},
        {"names: words, addresses and underscores are no sites",
         !normalize("example") && !normalize("") && !normalize("192.168.1.1") &&
             !normalize("my_site.example")},
        {"names: a site blocks its www and m forms and its aliases",
         hostNames("example.org") ==
                 std::vector<std::string>{"example.org", "www.example.org", "m.example.org"} &&
             hostNames("youtube.com").size() == 5},
    };
}

}  // namespace tarrow::app
