#include "helper/notice_hits.h"

#include "common/file_io.h"
#include "common/hosts_section.h"

namespace tarrow {

namespace {

constexpr size_t recentKept = 100;
constexpr std::chrono::seconds recentAge{60};
// Past this many hosts within a minute, only those that can still suppress a duplicate
// are kept: a flood of distinct names must not grow the map, or its pruning, without end.
constexpr size_t recentHardLimit = 1000;

HitsFile::Clock::duration apart(HitsFile::Clock::time_point a, HitsFile::Clock::time_point b) {
    return a > b ? a - b : b - a;  // the wall clock may be set back
}

}  // namespace

void HitsFile::prune(Clock::time_point now) {
    auto dropOlderThan = [&](Clock::duration age) {
        std::erase_if(recent_, [&](const auto& entry) { return apart(now, entry.second) >= age; });
    };
    dropOlderThan(recentAge);
    if (recent_.size() > recentHardLimit) dropOlderThan(duplicateWindow);
    // Prune again once the map has doubled (so each hit costs O(1) on average), or a
    // minute on, when everything kept now has grown old.
    pruneAbove_ = std::max(recentKept, 2 * recent_.size());
    prunedAt_ = now;
}

bool HitsFile::record(const std::string& host, Clock::time_point now) {
    if (!validHost(host) || isProtected(host)) return false;
    auto seen = recent_.find(host);
    if (seen != recent_.end() && apart(now, seen->second) < duplicateWindow) return false;
    recent_[host] = now;
    if (recent_.size() > pruneAbove_ ||
        (recent_.size() > recentKept && apart(now, prunedAt_) >= recentAge))
        prune(now);

    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch());
    lines_.push_back(std::to_string(seconds.count()) + " " + host);
    while (lines_.size() > hitsKept) lines_.pop_front();

    std::string text;
    for (const std::string& line : lines_) text.append(line).append("\n");
    AtomicWrite how;
    how.mode = hitsMode;
    how.owner = owner_;
    how.suffix = ".new";
    how.sync = false;  // a notification, not a record: losing it in a crash costs nothing
    [[maybe_unused]] auto failed = writeAtomically(path_, text, how);
    return true;
}

}  // namespace tarrow
