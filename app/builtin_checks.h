#pragma once
// The check groups of "--selftest" that need the app's browser parts, and all of them.

#include <vector>

#include "app/controller/selftest.h"

namespace tarrow::app {

std::vector<Check> browserChecks();
// Every group, in the order they are printed.
std::vector<Check> builtInChecks();

}  // namespace tarrow::app
