#include "app/model/evaluation.h"

#include <algorithm>
#include <array>
#include <vector>

namespace tarrow {

namespace {

// The days around one instant, worked out once per evaluation. Between two changes of
// the zone's offset every day is 86400 seconds and a clock time is its day's start plus
// its minutes, so only a day on which the clock changes is asked of the calendar.
class Days {
  public:
    static constexpr int count = 9;  // today and the eight days after it

    Days(Instant now, const Calendar& calendar)
        : now_(now), calendar_(calendar), weekday_(calendar.weekday(now)) {
        starts_[0] = calendar.dayStart(now);
        known_ = 1;
        const Instant last = starts_[0] + std::chrono::days{count + 1};
        for (auto c = calendar.nextChange(starts_[0]); c && *c <= last;
             c = calendar.nextChange(*c + std::chrono::seconds{1})) {
            if (changes_.size() == maxChanges) {
                everyDayAsked_ = true;  // a zone without known rules
                break;
            }
            changes_.push_back(*c);
        }
        minute_ =
            calm(starts_[0]) ? int((now - starts_[0]).count() / 60) : calendar.minuteOfDay(now);
    }

    Instant now() const { return now_; }
    int weekday() const { return weekday_; }
    int minute() const { return minute_; }
    int weekdayAfter(int offset) const { return (weekday_ - 1 + offset) % 7 + 1; }

    // The start of the day `offset` days after today (0 <= offset < count).
    Instant start(int offset) {
        for (; known_ <= offset; ++known_) {
            const Instant before = starts_[size_t(known_ - 1)];
            // Adding days keeps the clock time of today's start, which is not midnight
            // when midnight was skipped; the day's own start is wanted.
            starts_[size_t(known_)] =
                calm(before) ? before + std::chrono::days{1}
                             : calendar_.dayStart(calendar_.addDays(starts_[0], known_));
        }
        return starts_[size_t(offset)];
    }

    // The clock time of a minute count on the day `offset` days after today.
    Instant at(int offset, int minutes) {
        const Instant day = start(offset);
        if (!calm(day)) return tarrow::at(day, minutes, calendar_);
        const int hour = (minutes / 60) % 24, minute = minutes % 60;
        const bool onTheClock = hour >= 0 && minute >= 0;
        return day + std::chrono::minutes{onTheClock ? hour * 60 + minute : minutes};
    }

  private:
    // No change of the clock from a day's start to the start of the next day.
    bool calm(Instant from) const {
        if (everyDayAsked_) return false;
        const Instant to = from + std::chrono::days{1};
        return std::none_of(changes_.begin(), changes_.end(),
                            [&](Instant c) { return from <= c && c <= to; });
    }

    static constexpr size_t maxChanges = 8;

    Instant now_;
    const Calendar& calendar_;
    int weekday_;
    int minute_ = 0;
    std::array<Instant, count> starts_{};
    int known_ = 0;
    std::vector<Instant> changes_;
    bool everyDayAsked_ = false;
};

std::optional<Instant> endIn(const Schedule& s, Days& d) {
    if (!s.enabled || s.days.empty()) return std::nullopt;
    const int m = d.minute();
    const int w = d.weekday();
    const int y = w == 1 ? 7 : w - 1;
    if (s.start < s.end) {
        if (s.days.count(w) && s.start <= m && m < s.end) return d.at(0, s.end);
        return std::nullopt;
    }
    if (s.start == s.end) {
        if (s.days.count(w)) return d.start(1);
        return std::nullopt;
    }
    if (s.days.count(w) && m >= s.start) return d.at(1, s.end);
    if (s.days.count(y) && m < s.end) return d.at(0, s.end);
    return std::nullopt;
}

std::optional<Instant> nextStartIn(const Schedule& s, Days& d) {
    if (!s.enabled) return std::nullopt;
    for (int offset = 0; offset < 8; ++offset) {
        if (!s.days.count(d.weekdayAfter(offset))) continue;
        Instant candidate = d.at(offset, s.start);
        if (candidate > d.now()) return candidate;
    }
    return std::nullopt;
}

}  // namespace

Instant dayStart(Instant date, const Calendar& calendar) {
    return calendar.dayStart(date);
}

Instant at(Instant day, int minutes, const Calendar& calendar) {
    const int hour = (minutes / 60) % 24, minute = minutes % 60;
    if (auto t = calendar.atClock(day, hour, minute)) return *t;
    return calendar.addMinutes(day, minutes);
}

std::optional<Instant> end(const Schedule& schedule, Instant ifRunningAt,
                           const Calendar& calendar) {
    Days d(ifRunningAt, calendar);
    return endIn(schedule, d);
}

std::optional<Instant> nextStart(const Schedule& schedule, Instant after,
                                 const Calendar& calendar) {
    Days d(after, calendar);
    return nextStartIn(schedule, d);
}

Evaluation evaluate(const Config& config, Instant now, const Calendar& calendar) {
    Days d(now, calendar);
    std::optional<Instant> runningEnd, next;
    for (const Schedule& s : config.schedules) {
        if (auto e = endIn(s, d); e && (!runningEnd || *e > *runningEnd)) runningEnd = e;
        if (auto n = nextStartIn(s, d); n && (!next || *n < *next)) next = n;
    }

    Evaluation result;
    result.nextStart = next;
    result.scheduleEnd = runningEnd;
    std::optional<Instant> until = config.onUntil;
    result.strict = strictHolds(config, now);
    if (result.strict && (!until || *until < *config.strictUntil)) until = config.strictUntil;
    if (until && *until > now) {
        result.on = true;
        result.why = Why::timed(*until);
    } else if (config.manualOn) {
        result.on = true;
        result.why = Why::manual();
    } else if (!runningEnd) {
        result.why = Why::off();
    } else if (config.offUntil && *config.offUntil > now) {
        result.why = Why::paused(*config.offUntil);
    } else {
        result.on = true;
        result.why = Why::schedule(*runningEnd);
    }
    return result;
}

Config switched(const Config& config, bool on, Instant now, const Calendar& calendar) {
    if (!on && strictHolds(config, now)) return config;
    Config c = config;
    c.onUntil.reset();
    if (on) {
        c.manualOn = true;
        c.offUntil.reset();
        return c;
    }
    c.manualOn = false;
    c.offUntil = evaluate(c, now, calendar).scheduleEnd;
    return c;
}

bool strictHolds(const Config& config, Instant now) {
    return config.strictUntil && *config.strictUntil > now;
}

Config lockedFor(const Config& config, int minutes, Instant now, bool strict) {
    Config c = config;
    c.manualOn = false;
    c.offUntil.reset();
    c.onUntil = now + std::chrono::minutes{minutes};
    if (strict && (!strictHolds(c, now) || *c.strictUntil < *c.onUntil)) c.strictUntil = c.onUntil;
    if (strictHolds(c, now) && *c.onUntil < *c.strictUntil) c.onUntil = c.strictUntil;
    return c;
}

}  // namespace tarrow
