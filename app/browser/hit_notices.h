#pragma once
// What a hit leads to: the front tab is checked (scriptable browser with consent in
// front), the card shows (another browser in front), or nothing (any other program,
// a site no longer blocked, a card for the same site within the last minute).

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace tarrow {

inline constexpr std::chrono::seconds cardPause{60};  // per site

struct HitNeeds {
    using Clock = std::chrono::system_clock;  // the hits file's lines are in its seconds

    std::function<Clock::time_point()> now;
    std::function<bool()> notice;
    // A scriptable browser with consent is in front.
    std::function<bool()> frontTabPath;
    std::function<void()> checkFrontTab;
    std::function<void(std::chrono::milliseconds delay, std::function<void()>)> later;
    // The domain of the first enabled site that blocks this host.
    std::function<std::optional<std::string>(const std::string& host)> siteFor;
    std::function<bool()> browserInFront;
    std::function<void(const std::string& domain, const std::string& host)> showCard;
    // Every new hit, whether or not anything is shown, at the time the helper saw it
    // (never later than now): counted as an attempt.
    std::function<void(const std::string& host, std::chrono::sys_seconds at)> tried;
};

// Hits older than this when they are taken are not counted (a clock that jumped, or a
// line that is no real hit): the counts go back no further.
inline constexpr std::chrono::days countedAge{90};

class HitNotices {
  public:
    explicit HitNotices(HitNeeds needs) : needs_(std::move(needs)) {}

    // Call once the hits folder can be watched: lines already there count as seen.
    void armed(const std::string& hitsFile);
    // Handles what is new in the hits file: every new line is counted, the newest
    // fresh one may lead to the card.
    void takeHits(const std::string& hitsFile);
    void blockedHit(const std::string& host, bool demo);

    const std::optional<std::string>& seen() const { return seen_; }

  private:
    HitNeeds needs_;
    std::optional<std::string> seen_;
    std::map<std::string, HitNeeds::Clock::time_point> noted_;
};

}  // namespace tarrow
