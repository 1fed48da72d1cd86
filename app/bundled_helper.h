#pragma once
// The SHA-256 of the tarrow-helper executable this build ships, as 64 lower-case hex
// digits. Computed by the build from the built helper (bundled_helper_sha256.cmake).

namespace tarrow::app {

extern const char bundledHelperSHA256[];

}  // namespace tarrow::app
