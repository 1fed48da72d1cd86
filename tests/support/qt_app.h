#pragma once
// One offscreen application object for the whole test process.

namespace tarrow::test {

void ensureQtApp();

}  // namespace tarrow::test
