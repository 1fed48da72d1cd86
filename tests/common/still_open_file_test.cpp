// The still-open list the helper writes and the app reads: what it writes reads back, and
// anything that is not a "name: reason" line is skipped.

#include "common/still_open_file.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

TEST(StillOpenFile, WrittenReadsBackBadLinesSkipped) {
    const StillOpen open{{"b.example", "later"}, {"a.example", "earlier"}};
    EXPECT_EQ(stillOpenText(open), "a.example: earlier\nb.example: later\n");
    EXPECT_EQ(parseStillOpen(stillOpenText(open)), open);
    const std::pair<const char*, StillOpen> rows[] = {
        {"junk\nNot A Name: x\na.example:no space\n\n", {}},
        {"c.example: z", {{"c.example", "z"}}},
        {"d.example: x\nd.example: \n", {{"d.example", ""}}},
    };
    for (const auto& [text, expected] : rows) EXPECT_EQ(parseStillOpen(text), expected) << text;
}

}  // namespace
}  // namespace tarrow
