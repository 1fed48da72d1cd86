#pragma once
// How often each blocked site was tried: per site (the configured site's domain, never
// an address) and per local day, kept in attempts.json in the state folder for 90 days.
// Hits of one site closer together than 20 seconds are one attempt: a page's retries and
// a browser's preconnects count once.

#include <chrono>
#include <map>
#include <string>
#include <string_view>

#include "app/model/calendar.h"
#include "app/model/instant.h"
#include "app/model/log_fn.h"
#include "common/file_writer.h"
#include "common/status.h"

namespace tarrow {

inline constexpr int keptDays = 90;  // today and the 89 days before
// Days after today are kept this far: after a move west (up to 26 hours between zones)
// the day of an earlier count can lie ahead of the local date.
inline constexpr int aheadDays = 2;
inline constexpr int weekDays = 7;  // "this week": today and the 6 days before
inline constexpr std::chrono::seconds sameAttempt{20};

using Day = std::chrono::sys_days;  // a local calendar date
using SiteAttempts = std::map<std::string, int, std::less<>>;
using AttemptCounts = std::map<Day, SiteAttempts>;

// The local date of t in the calendar's time zone.
Day localDay(Instant t, const Calendar& calendar);

// Drops the days before the last `keptDays` up to today, and the days more than
// `aheadDays` after it (a clock that was wrong). True when it dropped any.
bool keepRecent(AttemptCounts& counts, Day today);

// Per site, the sum over today and the days-1 days before; sites without attempts are
// left out.
SiteAttempts totals(const AttemptCounts& counts, Day today, int days);

class Attempts {
  public:
    // Loads folder/attempts.json. A file that cannot be read is set aside as
    // attempts.broken.json (or .broken.N.json) and counting starts again.
    Attempts(std::string folder, LogFn log = {});
    Attempts(const Attempts&) = delete;
    Attempts& operator=(const Attempts&) = delete;

    // One hit of a configured site at `at`. False when it belongs to an attempt already
    // counted (within 20 s of the last counted hit of that site). Writes nothing.
    bool count(const std::string& domain, Instant at, const Calendar& calendar);
    // Writes attempts.json (through `writeFile`) when a count changed since the last
    // write, or a day has become too old to keep; a failure is logged once and tried
    // again at the next call after its result came back.
    void save(Instant now, const Calendar& calendar);
    // Empties the counts and writes the empty file.
    void forget();

    // Where the writes go; at once on this thread until the app sets it. Results must
    // come back on this thread.
    WriteFile writeFile = writeNow;

    const AttemptCounts& counts() const { return counts_; }
    int today(std::string_view domain, Instant now, const Calendar& calendar) const;
    SiteAttempts week(Instant now, const Calendar& calendar) const;
    const std::string& path() const { return path_; }

  private:
    void load();
    void write();
    void logOnce(const Status& status, const std::string& line);

    std::string folder_;
    std::string path_;
    LogFn log_;
    AttemptCounts counts_;
    std::map<std::string, Instant, std::less<>> lastCounted_;
    // Each day's part of the file, made again only when that day's counts change: a
    // tick's hits touch one day of ninety.
    std::map<Day, std::string> dayTexts_;
    bool changed_ = false;
    bool unreadableLeft_ = false;  // a file that could not be read is still in the way
    Status lastFailure_;
};

}  // namespace tarrow
