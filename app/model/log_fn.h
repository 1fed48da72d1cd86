#pragma once
#include <functional>
#include <string_view>

namespace tarrow {

// The model logs through whatever the app passes in; it has no log of its own.
using LogFn = std::function<void(std::string_view)>;

}  // namespace tarrow
