#pragma once
// The General tab's line about the browsers the app may script, and the one button
// beside it. Only browsers that can be scripted are listed, so where none can (Linux)
// the list is empty and the row is not shown at all.

#include <string>
#include <string_view>
#include <vector>

#include "app/model/browser_state.h"

namespace tarrow {

// One sentence per consent group, in the order granted, not asked, denied, not running,
// each only when a browser is in it: "Safari and Chrome: allowed."
std::string browserLine(const std::vector<BrowserState>& browsers);

// "Open Automation Settings…" when some browser said no, else "Allow…" when some browser
// was never asked, else nothing.
enum class ConsentButton { none, allow, openAutomationSettings };
ConsentButton consentButton(const std::vector<BrowserState>& browsers);
inline constexpr std::string_view allowTitle = "Allow\u2026";
inline constexpr std::string_view openAutomationTitle = "Open Automation Settings\u2026";

}  // namespace tarrow
