#pragma once
// The texts of the "Blocking" box that the settings tabs show while the helper does not
// work.

#include <string>
#include <string_view>

#include "app/model/helper_state.h"
#include "common/machine_text.h"

namespace tarrow {

inline constexpr std::string_view setupBoxTitle = "Blocking";
inline constexpr std::string_view setUpTitle = "Set Up Blocking\u2026";
inline constexpr std::string_view repairTitle = "Repair\u2026";
inline constexpr std::string_view removeHelperTitle = "Remove Helper\u2026";

// What the box says for a helper state.
std::string helperText(Helper helper, Desktop desktop = thisDesktop);

}  // namespace tarrow
