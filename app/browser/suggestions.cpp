#include "app/browser/suggestions.h"

#include <algorithm>

#include "app/browser/history_files.h"
#include "app/browser/history_url.h"
#include "app/browser/suggestion_domain.h"

namespace tarrow {

void SiteCounts::add(const std::vector<VisitCount>& rows) {
    for (const VisitCount& row : rows) {
        auto host = urlHost(row.url);
        if (!host) continue;
        auto cached = seen_.find(*host);
        if (cached == seen_.end()) {
            std::optional<std::string> site;
            if (auto ascii = asciiHost(*host)) site = suggestionDomain(*ascii);
            cached = seen_.emplace(std::string(*host), std::move(site)).first;
        }
        if (!cached->second) continue;
        auto counted = counts_.find(*cached->second);
        if (counted == counts_.end()) counted = counts_.emplace(*cached->second, 0).first;
        counted->second += row.count;
    }
}

std::vector<Suggestion> SiteCounts::ranked(int limit) const {
    std::vector<Suggestion> list;
    for (const auto& [site, visits] : counts_)
        if (visits >= suggestionMinVisits) list.push_back({site, visits});
    std::stable_sort(list.begin(), list.end(), [](const Suggestion& a, const Suggestion& b) {
        return a.visits > b.visits;  // the map already ordered equal counts by name
    });
    list.resize(std::min(list.size(), static_cast<size_t>(std::max(limit, 0))));
    return list;
}

BrowsingSuggestions browsingSuggestions(const std::string& home, double days, int limit) {
    FoundHistories found = historyFiles(home);
    BrowsingSuggestions result;
    result.locked = std::move(found.locked);
    SiteCounts counts;
    for (const HistoryFile& file : found.files) {
        auto rows = historyVisits(file.path, days, file.format);
        if (!rows) {
            if (std::find(result.locked.begin(), result.locked.end(), file.browser) ==
                result.locked.end())
                result.locked.push_back(file.browser);
            result.problems.push_back("history not readable: " + file.browser + ": " +
                                      historyProblem(rows.status()));
            continue;
        }
        ++result.sources;
        counts.add(*rows);
    }
    result.list = counts.ranked(limit);
    return result;
}

BrowsingSuggestions browsingSuggestions(double days, int limit) {
    return browsingSuggestions(userHome(), days, limit);
}

}  // namespace tarrow
