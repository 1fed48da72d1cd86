#pragma once
// The "--suggest" mode: the browsing suggestions read at once and printed.

#include <cstdio>

#include "app/model/log_fn.h"

namespace tarrow {

// Prints the suggestions of the user's browser histories to `out`, logs why any history
// could not be read, and returns the exit status (0).
int printSuggestions(std::FILE* out, const LogFn& log);

}  // namespace tarrow
