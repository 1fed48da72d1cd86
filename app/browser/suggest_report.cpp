#include "app/browser/suggest_report.h"

namespace tarrow {

namespace {

std::string lockedPart(const std::vector<std::string>& locked) {
    if (locked.empty()) return {};
    std::string text = ", locked: ";
    for (size_t i = 0; i < locked.size(); ++i) {
        if (i > 0) text += ", ";
        text += locked[i];
    }
    return text;
}

}  // namespace

std::string suggestListing(const BrowsingSuggestions& result) {
    constexpr size_t column = 7;
    std::string text;
    for (const Suggestion& suggestion : result.list) {
        std::string count = std::to_string(suggestion.visits);
        count.resize(column, ' ');  // pads, or cuts a longer number
        text += count + suggestion.domain + "\n";
    }
    text += std::to_string(result.list.size()) + " sites from " + std::to_string(result.sources) +
            " histories" + lockedPart(result.locked) + "\n";
    return text;
}

std::string suggestLogLine(const BrowsingSuggestions& result) {
    return "suggestions: " + std::to_string(result.list.size()) + " sites from " +
           std::to_string(result.sources) + " browser histories" + lockedPart(result.locked);
}

}  // namespace tarrow
