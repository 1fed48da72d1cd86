#pragma once
// The hits file: the last 20 sites the listener saw, one "<seconds> <host>" line each,
// oldest first. The app watches it; it is always replaced whole, so a reader never sees
// half a file.

#include <sys/types.h>

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tarrow {

inline constexpr size_t hitsKept = 20;
inline constexpr std::chrono::seconds duplicateWindow{1};
// Which sites were tried is the user's business: the file belongs to the user whose app
// reads it, and nobody else may read it.
inline constexpr mode_t hitsMode = 0600;

class HitsFile {
  public:
    using Clock = std::chrono::system_clock;

    // The file is given to `owner` (the user the helper serves) when set.
    explicit HitsFile(std::string path, std::optional<uid_t> owner = std::nullopt)
        : path_(std::move(path)), owner_(owner) {}

    // Notes a hit on host at now. Names that are not valid hosts or are protected are
    // dropped, and so is a host already noted less than a second ago. A file that cannot
    // be written is skipped silently; the next hit writes the whole list again.
    // True when a line was added.
    bool record(const std::string& host, Clock::time_point now);

    const std::deque<std::string>& lines() const { return lines_; }
    size_t remembered() const { return recent_.size(); }

  private:
    void prune(Clock::time_point now);

    std::string path_;
    std::optional<uid_t> owner_;
    std::unordered_map<std::string, Clock::time_point> recent_;
    std::deque<std::string> lines_;
    size_t pruneAbove_ = 100;
    Clock::time_point prunedAt_{};
};

}  // namespace tarrow
