#pragma once
// config.json: one UTF-8 JSON object, pretty-printed with every object's keys sorted.

#include <optional>
#include <string>
#include <string_view>

#include "app/model/config.h"

namespace tarrow {

// The file's text. Never throws; text that is not UTF-8 in a domain is written with
// replacement characters rather than failing the write.
std::string encodeConfig(const Config& config);

// None when the text is not UTF-8, not JSON, not an object, lacks a required key of a
// site or schedule, or has a value of the wrong type anywhere (including a malformed
// UUID or an instant with a fractional part). Absent or null top-level keys take their
// defaults; keys that are not known are ignored.
std::optional<Config> decodeConfig(std::string_view text);

}  // namespace tarrow
