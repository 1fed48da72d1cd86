#pragma once
// The host part of the addresses stored in browser histories.

#include <optional>
#include <string>
#include <string_view>

namespace tarrow {

// The host of an address with an authority ("scheme://[user@]host[:port]/..."), exactly
// as written; none for addresses without one (file:///..., data:, about:blank) or with an
// empty host.
std::optional<std::string_view> urlHost(std::string_view url);

// A host as ASCII: percent escapes decoded and international names turned into punycode
// (lower case). Plain ASCII comes back unchanged; none when the name cannot be converted.
std::optional<std::string> asciiHost(std::string_view host);

}  // namespace tarrow
