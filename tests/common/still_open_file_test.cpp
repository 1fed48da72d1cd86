#include "common/still_open_file.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

TEST(StillOpenFile, RoundTrip) {
    const StillOpen open{{"b.example", "a later line of /etc/hosts names it"},
                         {"a.example", "an earlier line of /etc/hosts names it"}};
    const std::string text = stillOpenText(open);
    EXPECT_EQ(text,
              "a.example: an earlier line of /etc/hosts names it\n"
              "b.example: a later line of /etc/hosts names it\n");
    EXPECT_EQ(parseStillOpen(text), open);
    EXPECT_EQ(stillOpenText({}), "");
    EXPECT_EQ(parseStillOpen(""), StillOpen{});
}

// The app reads what is on disk: anything that is not a "name: reason" line is skipped.
TEST(StillOpenFile, BadLinesAreSkipped) {
    struct Row {
        const char* text;
        StillOpen open;
    };
    const Row rows[] = {
        {"junk\n", {}},
        {"Not A Name: x\n", {}},
        {"a.example:no space\n", {}},
        {"c.example: z", {{"c.example", "z"}}},  // no final line feed
        {"c.example: \n", {{"c.example", ""}}},
        {"\n\nd.example: x\nd.example: y\n", {{"d.example", "y"}}},  // the last one wins
    };
    for (const Row& row : rows) EXPECT_EQ(parseStillOpen(row.text), row.open) << row.text;
}

}  // namespace
}  // namespace tarrow
