#pragma once

namespace tarrow::platform {

// Flushes the system's host-name caches after the hosts file changed. Each tool runs
// to completion; a tool that is not installed is skipped silently.
void flushNameCaches();

}  // namespace tarrow::platform
