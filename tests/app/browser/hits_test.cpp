// The hits file's lines: which are well formed, fresh and new.

#include "app/browser/hits.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tarrow {
namespace {

TEST(HitLines, KeepsWellFormedLinesInOrder) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"1700000000 youtube.com\n1700000001 www.youtube.com\n",
         {"1700000000 youtube.com", "1700000001 www.youtube.com"}},
        {"1 a\n\n\n2 b", {"1 a", "2 b"}},             // empty lines, no final LF
        {"1  a \n", {"1  a "}},                       // runs of spaces: still two pieces
        {"1 a b\nonlyone\n \n1\ta\n3 c\n", {"3 c"}},  // three pieces, one, none, a tab
        {"1 a\r\n", {"1 a\r"}},                       // CR stays part of the host
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(hitLines(c.text), c.lines) << c.text;
}

TEST(FreshHost, ActsOnlyOnYoungLinesWithNumericSeconds) {
    using namespace std::chrono_literals;
    const std::chrono::system_clock::time_point now(1700000100s + 500ms);
    struct Case {
        std::string line;
        std::optional<std::string> host;
    };
    const Case cases[] = {
        {"1700000095 youtube.com", "youtube.com"},  // 5.5 s old
        {"1700000081 youtube.com", "youtube.com"},  // 19.5 s
        {"1700000080 youtube.com", std::nullopt},   // 20.5 s
        {"1800000000 youtube.com", "youtube.com"},  // from the future
        {"17000000x0 youtube.com", std::nullopt},
        {"-5 youtube.com", std::nullopt},
        {"99999999999999999999999 youtube.com", std::nullopt},  // out of range
        {"youtube.com 1700000095", std::nullopt},
        {"1700000095", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(freshHost(c.line, now), c.host) << c.line;
}

TEST(TakeNewest, OnlyTheNewestNewLineOnce) {
    std::optional<std::string> seen;
    EXPECT_EQ(takeNewest({}, seen), std::nullopt);
    EXPECT_EQ(takeNewest({"1 a", "2 b", "3 c"}, seen), "3 c");
    EXPECT_EQ(takeNewest({"1 a", "2 b", "3 c"}, seen), std::nullopt);
    EXPECT_EQ(takeNewest({"1 a", "2 b", "3 c", "4 d", "5 e"}, seen), "5 e");  // a burst
    EXPECT_EQ(takeNewest({"9 z"}, seen), "9 z");  // the helper began a new file
    EXPECT_EQ(seen, "9 z");
}

}  // namespace
}  // namespace tarrow
