#pragma once
// The product's name, for both programs: texts, pages, the state folder.

#include <string_view>

namespace tarrow {

inline constexpr std::string_view appName = "Tarrow";

}  // namespace tarrow
