#pragma once
// What the counts of attempts say on the card and in "tarrow --attempts".

#include <string>

#include "app/model/attempts.h"

namespace tarrow {

// Under the card's texts: "First try today", "2nd try today", "3rd try today", ...;
// empty for no attempt.
std::string todayTryLine(int todayTries);

// "tarrow --attempts": one line per site tried in the seven days up to today, most
// first (equal counts by domain), the count padded with spaces on the right to seven
// characters, then the domain; then "<n> attempts in 7 days" ("1 attempt in 7 days").
std::string attemptsReport(const AttemptCounts& counts, Day today);

}  // namespace tarrow
