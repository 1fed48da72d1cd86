#pragma once
// The check groups of "--selftest" that need the app's browser parts, and all of them.

#include <vector>

#include "app/controller/selftest.h"

namespace tarrow::app {

std::vector<Check> browserChecks();
// The shipped helper is there and is the one this build carries.
std::vector<Check> helperChecks();
// Every group, in the order they are printed.
std::vector<Check> builtInChecks();

}  // namespace tarrow::app
