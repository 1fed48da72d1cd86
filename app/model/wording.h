#pragma once

namespace tarrow {

// Which machine the user texts speak of: "your Mac" on macOS, "this computer" elsewhere.
// Both wordings are built on every system, so each can be checked as text anywhere.
enum class Wording { mac, computer };

#ifdef __APPLE__
inline constexpr Wording systemWording = Wording::mac;
#else
inline constexpr Wording systemWording = Wording::computer;
#endif

}  // namespace tarrow
