#pragma once
// The name a browser asks to decide whether to turn its own DNS-over-HTTPS on by
// itself: any answer for it keeps that on, so the helper never writes it into the
// section, whatever the request says.

#include <string_view>

namespace tarrow {

inline constexpr std::string_view canaryName = "use-application-dns.net";

}  // namespace tarrow
