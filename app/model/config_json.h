#pragma once
// config.json: one UTF-8 JSON object, pretty-printed with every object's keys sorted.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/model/config.h"

namespace tarrow {

// The file's text. Never throws; text that is not UTF-8 in a domain is written with
// replacement characters rather than failing the write.
std::string encodeConfig(const Config& config);

// A configuration as read, and what had to be left out of it.
struct ConfigReading {
    Config config;
    // One note per schedule left out, in file order, such as
    // "schedule 2 left out: start 4800000000 is out of range".
    std::vector<std::string> leftOut;
};

// None when the text is not UTF-8, not JSON, not an object, lacks a required key of a
// site or schedule, or has a value of the wrong type anywhere (including a malformed
// UUID or an instant with a fractional part). Absent or null top-level keys take their
// defaults; keys that are not known are ignored. A schedule's numbers are read when they
// are whole and fit 32 bits, however they are written (480.0 is 480); a schedule with any
// other number is left out and noted, and the rest of the file is kept.
std::optional<ConfigReading> readConfig(std::string_view text);

// readConfig without the notes.
std::optional<Config> decodeConfig(std::string_view text);

}  // namespace tarrow
