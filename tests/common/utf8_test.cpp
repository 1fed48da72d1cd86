#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/lines.h"
#include "common/utf8.h"

using namespace tarrow;

namespace {

TEST(Utf8, Strict) {
    const std::vector<std::pair<std::string, bool>> rows = {
        {"plain ascii text that is longer than eight bytes", true},
        {"caf\xC3\xA9 \xE2\x80\x93 \xF0\x9F\x98\x80", true},
        {"\xEF\xBF\xBF", true},
        {"\xF4\x8F\xBF\xBF", true},
        {"twelve bytes\xFF", false},
        {"\xC0\xAF", false},          // overlong "/"
        {"\xE0\x80\xAF", false},      // overlong
        {"\xED\xA0\x80", false},      // surrogate
        {"\xF4\x90\x80\x80", false},  // above U+10FFFF
        {"\xC3", false},              // cut short
        {"abcdefg\xE2\x80", false},   // cut short after the fast path
        {"\x80", false},
    };
    for (const auto& [bytes, valid] : rows)
        EXPECT_EQ(validUtf8(bytes), valid) << testing::PrintToString(bytes);
}

}  // namespace
