#pragma once
// The small status file in which the helper lists the blocked names that still resolve
// to an address of their own, and why; the app reads it to tell the user. Pure text
// functions.

#include <map>
#include <string>
#include <string_view>

namespace tarrow {

// name -> why it still resolves to a real address
using StillOpen = std::map<std::string, std::string>;

// One line "name: reason" per name, in name order; "" for none.
std::string stillOpenText(const StillOpen& open);
// Its reading; lines that do not have the form, or whose name is not a valid host
// name, are skipped.
StillOpen parseStillOpen(std::string_view text);

}  // namespace tarrow
