#pragma once
// Keeps the owner of the request from making root rewrite the hosts file many times a
// second. A pass runs at once unless the hosts file was rewritten less than a gap ago;
// then one pass is planned for the end of the gap, and it applies whatever the request
// holds by then. A single change is applied at once, a burst of changes is rewritten at
// most once per gap, and the last rewrite of a burst is always its latest request.

#include <chrono>
#include <optional>

namespace tarrow {

class PassPacing {
  public:
    using Clock = std::chrono::steady_clock;

    explicit PassPacing(Clock::duration gap) : gap_(gap) {}

    // A pass is wanted at `now`: when to run it (`now` itself for at once). None when a
    // planned pass will run anyway.
    std::optional<Clock::time_point> wanted(Clock::time_point now);
    // A pass that began at `began` has ended; `rewrote` says whether it rewrote the hosts
    // file.
    void ran(Clock::time_point began, bool rewrote);

  private:
    Clock::duration gap_;
    std::optional<Clock::time_point> lastRewrite_;
    bool planned_ = false;
};

}  // namespace tarrow
