#pragma once
// Reading script results, which arrive in AppleScript source form:
// "text" with backslash escapes, true / false, and {lists, of, values}.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarrow {

std::optional<std::string> scriptText(std::string_view result);
std::optional<bool> scriptBool(std::string_view result);
// One list of addresses per window; a window entry that is not a list of texts
// counts as an empty list.
std::optional<std::vector<std::vector<std::string>>> scriptLists(std::string_view result);

}  // namespace tarrow
