#pragma once
// The sites the user visits most, folded from every browser's history.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/browser/history_visits.h"
#include "app/model/suggestion.h"

namespace tarrow {

inline constexpr double suggestionDays = 30;
inline constexpr int suggestionLimit = 20;
inline constexpr std::int64_t suggestionMinVisits = 10;

struct BrowsingSuggestions {
    std::vector<Suggestion> list;
    std::vector<std::string> locked;  // browsers whose history could not be read
    int sources = 0;                  // history files read
    // "history not readable: <browser>: <why>", one per failed file, for the caller's log.
    std::vector<std::string> problems;
};

// Visits summed per site over any number of histories.
class SiteCounts {
  public:
    void add(const std::vector<VisitCount>& rows);
    // The sites with at least suggestionMinVisits visits, most visited first, equal counts
    // by name; at most `limit` of them.
    std::vector<Suggestion> ranked(int limit) const;

  private:
    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    // Hosts as written in the addresses, to the site they count for (a cache).
    std::unordered_map<std::string, std::optional<std::string>, TextHash, std::equal_to<>> seen_;
    std::map<std::string, std::int64_t, std::less<>> counts_;
};

// Reads every history under `home` and returns the suggestions.
BrowsingSuggestions browsingSuggestions(const std::string& home, double days = suggestionDays,
                                        int limit = suggestionLimit);
// The same for the user's own home folder.
BrowsingSuggestions browsingSuggestions(double days = suggestionDays, int limit = suggestionLimit);

}  // namespace tarrow
