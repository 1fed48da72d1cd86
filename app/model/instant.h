#pragma once
// Instants are whole seconds on the UTC time line; the configuration writes them as
// ISO 8601 text such as 2026-10-23T07:00:00Z.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace tarrow {

using Instant = std::chrono::sys_seconds;

// "yyyy-MM-ddTHH:mm:ssZ" in UTC.
std::string isoText(Instant t);

// Reads internet date-time text with whole seconds: a trailing Z or a numeric offset
// (+hh:mm / -hh:mm). A fractional part, a missing part or a field out of range gives none.
std::optional<Instant> parseIso(std::string_view text);

}  // namespace tarrow
