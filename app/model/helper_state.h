#pragma once

namespace tarrow {

// The app's view of the privileged helper, in this order.
enum class Helper { missing, outdated, stuck, working };

}  // namespace tarrow
