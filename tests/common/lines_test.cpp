#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/lines.h"
#include "common/utf8.h"

using namespace tarrow;

namespace {

TEST(Lines, CrLfIsNoLineBreak) {
    struct Row {
        std::string text;
        std::vector<std::string_view> lines;
        bool endsWithBreak;
    };
    const std::vector<Row> rows = {
        {"", {""}, false},
        {"a\nb\n", {"a", "b", ""}, true},
        {"a\r\nb\r\n", {"a\r\nb\r\n"}, false},
        {"a\r\n\nb", {"a\r\n", "b"}, false},
        {"\n\n", {"", "", ""}, true},
        {"a\r", {"a\r"}, false},
        {"\r\n\n", {"\r\n", ""}, true},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(splitLines(row.text), row.lines) << testing::PrintToString(row.text);
        EXPECT_EQ(endsWithLineBreak(row.text), row.endsWithBreak)
            << testing::PrintToString(row.text);
    }
    EXPECT_TRUE(endsWithTwoLineBreaks("a\n\n"));
    EXPECT_FALSE(endsWithTwoLineBreaks("a\r\n\n"));
}

}  // namespace
