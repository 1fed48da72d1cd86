#pragma once
// One offscreen application object for the whole test process.

#include <functional>

namespace tarrow::test {

void ensureQtApp();

// Runs the event loop until the condition holds or the time is up.
bool waitUntil(const std::function<bool()>& condition, int ms = 3000);

}  // namespace tarrow::test
