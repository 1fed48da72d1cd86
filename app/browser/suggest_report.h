#pragma once
// The texts that report a suggestion load: the command-line listing and the log line.

#include <string>

#include "app/browser/suggestions.h"

namespace tarrow {

// One line per suggestion (the visit count padded to seven characters, then the domain),
// then "<n> sites from <m> histories[, locked: a, b]"; every line ends with a line feed.
std::string suggestListing(const BrowsingSuggestions& result);

// "suggestions: <n> sites from <m> browser histories[, locked: a, b]".
std::string suggestLogLine(const BrowsingSuggestions& result);

}  // namespace tarrow
