#pragma once
#include <string_view>

namespace tarrow::helper {

// One line "yyyy-MM-dd HH:mm:ss  message" in local time to standard error, in one
// write (the service manager appends standard error to the helper's log file).
void log(std::string_view message);

}  // namespace tarrow::helper
