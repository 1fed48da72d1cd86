#include "app/browser/suggest_mode.h"

#include "app/browser/suggest_report.h"
#include "app/browser/suggestions.h"

namespace tarrow {

int printSuggestions(std::FILE* out, const LogFn& log) {
    BrowsingSuggestions result = browsingSuggestions();
    if (log)
        for (const std::string& problem : result.problems) log(problem);
    std::string text = suggestListing(result);
    std::fwrite(text.data(), 1, text.size(), out);
    std::fflush(out);
    return 0;
}

}  // namespace tarrow
