#pragma once
// The text of a strict lock: the app's request for one (beside its request file) and
// the helper's own record of the lock it keeps. Header lines first, then one host name
// a line:
//   until 2026-12-07T15:00:00Z
//   taken 2026-12-07T14:00:00Z      (the helper's record only)
//   example.com

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarrow {

// The file the app writes beside its request file to ask for a strict lock.
inline constexpr std::string_view strictRequestName = "strict-lock";
// The longest strict lock there is, one day.
inline constexpr std::chrono::minutes maxStrictLock{1440};

struct StrictLockText {
    std::chrono::sys_seconds until{};
    std::optional<std::chrono::sys_seconds> taken;
    std::string names;  // the name lines as they stand, unchecked

    bool operator==(const StrictLockText&) const = default;
};

std::string strictLockText(std::chrono::sys_seconds until,
                           std::optional<std::chrono::sys_seconds> taken,
                           const std::vector<std::string>& names);

// None unless the text starts with a readable "until" line (and an optional "taken").
std::optional<StrictLockText> parseStrictLock(std::string_view text);

// "2026-12-07T15:00:00Z" and back; the parser takes exactly that form.
std::string utcText(std::chrono::sys_seconds t);
std::optional<std::chrono::sys_seconds> parseUtcText(std::string_view text);

}  // namespace tarrow
