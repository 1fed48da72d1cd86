#pragma once
// Identities of sites and schedules: canonical 36-character UUID text, upper-case hex
// in groups 8-4-4-4-12.

#include <optional>
#include <string>
#include <string_view>

namespace tarrow {

// A new random UUID.
std::string newUuid();

// The canonical upper-case form of a UUID text (either case is accepted), or none when
// the text is not a UUID in the 8-4-4-4-12 form.
std::optional<std::string> canonicalUuid(std::string_view text);

}  // namespace tarrow
