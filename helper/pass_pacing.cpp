#include "helper/pass_pacing.h"

namespace tarrow {

std::optional<PassPacing::Clock::time_point> PassPacing::wanted(Clock::time_point now) {
    if (planned_) return std::nullopt;
    if (!lastRewrite_ || now - *lastRewrite_ >= gap_) return now;
    planned_ = true;
    return *lastRewrite_ + gap_;
}

void PassPacing::ran(Clock::time_point began, bool rewrote) {
    planned_ = false;  // every pass goes through wanted, so this was the planned one if any
    if (rewrote) lastRewrite_ = began;
}

}  // namespace tarrow
