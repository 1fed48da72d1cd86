#pragma once
// The app's side of the hits file: which lines are well formed, which one is new,
// and whether it is fresh enough to act on.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarrow {

inline constexpr std::chrono::seconds hitFreshness{20};

// The well-formed lines (exactly two space-separated pieces), oldest first.
std::vector<std::string> hitLines(std::string_view text);

// The same, read from the file; missing, unreadable or not UTF-8 gives none.
std::vector<std::string> readHitLines(const std::string& path);

// One well-formed line: when the helper saw the hit, and the host that was wanted.
struct Hit {
    std::chrono::sys_seconds at;
    std::string host;
};
// None when the line is not two pieces or its seconds are not a decimal number.
std::optional<Hit> parseHit(std::string_view line);

// Every line not handled yet, oldest first: those after the last occurrence of `seen`.
// When `seen` is no longer in the file (a burst pushed it out, or the helper began a new
// file), those whose seconds are not before its seconds; when nothing was seen (an empty
// file when the watch was armed), all of them; when `seen` is unset, only the last.
std::vector<std::string> newLines(const std::vector<std::string>& lines,
                                  const std::optional<std::string>& seen);

// The newest line that was not handled yet, if any; remembers it in `seen`.
// Earlier new lines of a burst are skipped on purpose: one reaction per burst.
std::optional<std::string> takeNewest(const std::vector<std::string>& lines,
                                      std::optional<std::string>& seen);

// The host of a hit line that is younger than the freshness limit at `now`; none for an
// old line or one whose seconds are not a number.
std::optional<std::string> freshHost(std::string_view line,
                                     std::chrono::system_clock::time_point now);

}  // namespace tarrow
