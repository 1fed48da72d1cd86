#include "app/browser/hit_notices.h"

#include <algorithm>

#include "app/browser/hits.h"

namespace tarrow {

void HitNotices::armed(const std::string& hitsFile) {
    if (seen_) return;
    const auto lines = readHitLines(hitsFile);
    seen_ = lines.empty() ? std::string() : lines.back();
}

void HitNotices::takeHits(const std::string& hitsFile) {
    const std::vector<std::string> lines = readHitLines(hitsFile);
    const HitNeeds::Clock::time_point now = needs_.now();
    // Counted first, so that a card shown for the newest line knows its own attempt.
    if (needs_.tried) {
        const auto nowSeconds = std::chrono::floor<std::chrono::seconds>(now);
        for (const std::string& line : newLines(lines, seen_)) {
            std::optional<Hit> hit = parseHit(line);
            if (!hit || hit->at < nowSeconds - countedAge) continue;
            needs_.tried(hit->host, std::min(hit->at, nowSeconds));
        }
    }
    const auto line = takeNewest(lines, seen_);
    if (!line) return;
    if (auto host = freshHost(*line, now)) blockedHit(*host, false);
}

void HitNotices::blockedHit(const std::string& host, bool demo) {
    if (!demo) {
        if (!needs_.notice()) return;
        if (needs_.frontTabPath()) {
            needs_.checkFrontTab();
            needs_.later(std::chrono::milliseconds(300), needs_.checkFrontTab);
            needs_.later(std::chrono::milliseconds(1000), needs_.checkFrontTab);
            return;
        }
    }
    auto domain = needs_.siteFor(host);
    if (!domain) {
        if (!demo) return;
        domain = host;
    }
    const HitNeeds::Clock::time_point now = needs_.now();
    if (!demo) {
        auto last = noted_.find(*domain);
        // A clock set back does not hold the card back for that long.
        if (last != noted_.end() && now >= last->second && now - last->second < cardPause) return;
        if (!needs_.browserInFront()) return;
    }
    noted_[*domain] = now;
    needs_.showCard(*domain, host);
}

}  // namespace tarrow
