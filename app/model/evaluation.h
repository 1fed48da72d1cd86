#pragma once
// The one place that decides whether blocking is on at an instant, and why.
// Pure: the clock is an argument, nothing is written.

#include <optional>

#include "app/model/calendar.h"
#include "app/model/config.h"
#include "app/model/instant.h"

namespace tarrow {

struct Why {
    enum class Kind { timed, schedule, paused, manual, off };
    Kind kind = Kind::off;
    Instant at{};  // the instant of timed, schedule and paused; unset otherwise

    static Why timed(Instant t) { return {Kind::timed, t}; }
    static Why schedule(Instant t) { return {Kind::schedule, t}; }
    static Why paused(Instant t) { return {Kind::paused, t}; }
    static Why manual() { return {Kind::manual, {}}; }
    static Why off() { return {Kind::off, {}}; }

    friend bool operator==(const Why&, const Why&) = default;
};

struct Evaluation {
    bool on = false;
    Why why;
    std::optional<Instant> scheduleEnd;  // latest end of the occurrences running now
    std::optional<Instant> nextStart;    // earliest start after now, up to eight days ahead
    bool strict = false;                 // a strict lock holds: "Okay, Now" can't end it

    friend bool operator==(const Evaluation&, const Evaluation&) = default;
};

Evaluation evaluate(const Config& config, Instant now, const Calendar& calendar);

Instant dayStart(Instant date, const Calendar& calendar);
// The instant on `day` (a start of day) at the clock time of a minute count.
Instant at(Instant day, int minutes, const Calendar& calendar);

// When the occurrence of the schedule running at now ends; none when none runs.
std::optional<Instant> end(const Schedule& schedule, Instant ifRunningAt, const Calendar& calendar);
// The schedule's earliest start strictly after now within eight days, today included.
std::optional<Instant> nextStart(const Schedule& schedule, Instant after, const Calendar& calendar);

// The main switch: on sets the manual switch; off ("Okay, Now") skips the running
// schedules until their end, and changes nothing while a strict lock holds.
Config switched(const Config& config, bool on, Instant now, const Calendar& calendar);
// A timed lock for a small positive number of minutes; a strict one can't be ended
// early. A lock never ends before a strict lock that holds.
Config lockedFor(const Config& config, int minutes, Instant now, bool strict = false);

// True while the configuration's strict lock holds.
bool strictHolds(const Config& config, Instant now);

}  // namespace tarrow
