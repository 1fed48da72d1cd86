#include "app/browser/suggest_report.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

TEST(SuggestReport, ListingAndLogLine) {
    struct Case {
        BrowsingSuggestions result;
        std::string listing, logLine;
    };
    std::vector<Case> cases = {
        {{}, "0 sites from 0 histories\n", "suggestions: 0 sites from 0 browser histories"},
        {{{{"a.com", 1234567}, {"b.com", 12345678}}, {"Chrome", "Brave"}, 1, {}},
         "1234567a.com\n1234567b.com\n2 sites from 1 histories, locked: Chrome, Brave\n",
         "suggestions: 2 sites from 1 browser histories, locked: Chrome, Brave"},
        {{{{"example.com", 412}}, {}, 2, {}},
         "412    example.com\n1 sites from 2 histories\n",
         "suggestions: 1 sites from 2 browser histories"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(suggestListing(c.result), c.listing);
        EXPECT_EQ(suggestLogLine(c.result), c.logLine);
    }
}

}  // namespace
}  // namespace tarrow
