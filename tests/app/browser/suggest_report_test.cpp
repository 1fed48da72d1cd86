#include "app/browser/suggest_report.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

TEST(SuggestReport, Listing) {
    struct Case {
        BrowsingSuggestions result;
        std::string listing;
    };
    std::vector<Case> cases = {
        {{}, "0 sites from 0 histories\n"},
        {{{{"a.com", 1234567}, {"b.com", 12345678}}, {"Chrome"}, 1, {}},
         "1234567a.com\n1234567b.com\n2 sites from 1 histories, locked: Chrome\n"},
        {{{{"example.com", 412}}, {}, 2, {}}, "412    example.com\n1 sites from 2 histories\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(suggestListing(c.result), c.listing);
}

}  // namespace
}  // namespace tarrow
