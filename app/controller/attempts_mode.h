#pragma once
// "tarrow --attempts": the last seven days of attempts.json, read beside a running copy
// and never written.

#include <cstdio>
#include <string>

#include "app/model/calendar.h"
#include "app/model/instant.h"

namespace tarrow::app {

// Prints the report to `out` and returns 0; a file that cannot be read is said on `err`
// with status 1. No file yet is no attempt yet.
int printAttempts(std::FILE* out, std::FILE* err, const std::string& folder, Instant now,
                  const Calendar& calendar);

}  // namespace tarrow::app
