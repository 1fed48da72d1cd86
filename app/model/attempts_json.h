#pragma once
// attempts.json: one UTF-8 JSON object, pretty-printed with keys sorted:
//   {"days": {"2026-10-23": {"youtube.com": 3, "reddit.com": 1}}}
// A day is a local date, a key a site's domain, a count whole and positive.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/model/attempts.h"

namespace tarrow {

// More than one attempt every 20 s all day long, with room for a long DST day; a
// larger count was not written by the app.
inline constexpr int maxDayCount = 5000;

// "2026-10-23".
std::string dayText(Day day);
// A date written as dayText writes it; none for anything else ("2026-02-30", "26-1-1").
std::optional<Day> parseDay(std::string_view text);

std::string encodeAttempts(const AttemptCounts& counts);
// The same in parts, so that a day whose counts did not change need not be written out
// again: one day's entry, and the file from the entries of the days, in day order.
std::string encodeDay(Day day, const SiteAttempts& sites);
std::string joinDays(const std::vector<std::string_view>& days);

// The counts of a file's text, or why the text is not such a file.
struct AttemptsReading {
    std::optional<AttemptCounts> counts;
    std::string problem;  // when there are no counts, such as "not JSON"
};
// Refused: text that is not UTF-8, not JSON or not an object; "days" that is not an
// object or holds more than keptDays + aheadDays days; a day that is no date; a site that is not a
// host name; a count that is not a whole number from 1 to maxDayCount. A missing "days"
// is no attempt yet; other keys are ignored.
AttemptsReading decodeAttempts(std::string_view text);

}  // namespace tarrow
