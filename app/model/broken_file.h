#pragma once
// A state file that cannot be read is never written over: it is moved aside as
// <stem>.broken.json, or <stem>.broken.N.json when that name is taken, so an older
// broken copy is never replaced either.

#include <string>
#include <string_view>

#include "common/status.h"

namespace tarrow {

// "config.broken.json" for n 0, "config.broken.2.json" for n 2.
std::string brokenName(std::string_view stem, int n);

// Moves folder/<stem>.json to the first free broken name; the name it got.
Result<std::string> setAside(const std::string& folder, std::string_view stem);

// Links folder/<stem>.json to the first free broken name: a second name for the same
// file, so its bytes outlive the next save. The name it got.
Result<std::string> keepAsItIs(const std::string& folder, std::string_view stem);

}  // namespace tarrow
