#pragma once
// One offscreen application object for the whole test process.

namespace tarrow::testing {

void ensureQtApp();

}  // namespace tarrow::testing
