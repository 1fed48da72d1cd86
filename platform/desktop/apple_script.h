#pragma once
// Running an AppleScript text with the system's osascript tool and taking its result
// in source form ("text" in quotes, true / false, {lists}), which the app parses.

#include <optional>
#include <string>

namespace tarrow::platform {

inline constexpr const char* osascriptPath = "/usr/bin/osascript";

// None when the tool is missing, the script fails or times out (a non-zero exit).
std::optional<std::string> runAppleScript(const std::string& script,
                                          const std::string& tool = osascriptPath);

}  // namespace tarrow::platform
