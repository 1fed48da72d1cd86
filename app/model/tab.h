#pragma once

namespace tarrow {

// The settings tab shown, in tab order.
enum class Tab { sites, schedules, general };

}  // namespace tarrow
