#include "app/controller/command_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "scratch.h"

namespace tarrow::app {
namespace {

using testing::Scratch;

struct ParseCase {
    const char* name;
    std::string text;
    std::vector<std::string> words;  // empty: no command
    std::string trimmed;
};

class ParseCommand : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseCommand, SplitsAtAnyWhiteSpace) {
    const ParseCase& c = GetParam();
    std::optional<Command> command = parseCommand(c.text);
    if (c.words.empty()) {
        EXPECT_FALSE(command.has_value());
        return;
    }
    ASSERT_TRUE(command.has_value());
    EXPECT_EQ(command->words, c.words);
    EXPECT_EQ(command->text, c.trimmed);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseCommand,
    ::testing::Values(
        ParseCase{"Empty", "", {}, ""},
        ParseCase{"OnlyLineBreaks", "\n\n\r\n", {}, ""},
        ParseCase{"OnlyUnicodeSpaces", "\u00a0\u2028\u3000", {}, ""},
        ParseCase{"OneWord", "on\n", {"on"}, "on"},
        ParseCase{"CapitalsKept", "ON", {"ON"}, "ON"},
        ParseCase{"WordAndNumber", "  for\t90 \n", {"for", "90"}, "for\t90"},
        ParseCase{"FurtherWordsKeptInText", "on please now\n", {"on", "please", "now"},
                  "on please now"},
        ParseCase{"WordsAcrossLines", "for\n\n25\n", {"for", "25"}, "for\n\n25"},
        ParseCase{"NoBreakSpaceSeparates", "for\u00a090", {"for", "90"}, "for\u00a090"},
        ParseCase{"IdeographicSpaceSeparates", "\u3000off\u3000", {"off"}, "off"},
        ParseCase{"NonSpaceUnicodeStaysInWord", "caf\u00e9 x\u200by", {"caf\u00e9", "x\u200by"},
                  "caf\u00e9 x\u200by"}),
    [](const auto& info) { return info.param.name; });

struct MinutesCase {
    const char* name;
    const char* word;
    std::optional<int> minutes;
};

class LockMinutes : public ::testing::TestWithParam<MinutesCase> {};

TEST_P(LockMinutes, AcceptsOneToAWeek) {
    EXPECT_EQ(lockMinutes(GetParam().word), GetParam().minutes);
}

INSTANTIATE_TEST_SUITE_P(
    Words, LockMinutes,
    ::testing::Values(MinutesCase{"Ninety", "90", 90}, MinutesCase{"One", "1", 1},
                      MinutesCase{"AWeek", "10080", 10080}, MinutesCase{"PlusSign", "+90", 90},
                      MinutesCase{"LeadingZeros", "0025", 25}, MinutesCase{"Zero", "0", {}},
                      MinutesCase{"AWeekAndOne", "10081", {}}, MinutesCase{"Minus", "-5", {}},
                      MinutesCase{"MinusZero", "-0", {}},
                      MinutesCase{"HugeNumber", "9999999999999999999", {}},
                      MinutesCase{"HugerThanAnyInteger", "99999999999999999999999999999999", {}},
                      MinutesCase{"Word", "ninety", {}}, MinutesCase{"SignOnly", "+", {}},
                      MinutesCase{"TwoSigns", "+-5", {}}, MinutesCase{"Decimal", "90.5", {}},
                      MinutesCase{"Exponent", "1e3", {}}, MinutesCase{"Empty", "", {}}),
    [](const auto& info) { return info.param.name; });

TEST(TakeCommandText, ReadsAndDeletesARegularFile) {
    Scratch s;
    testing::writeFile(s.file("command"), "on\n");
    EXPECT_EQ(takeCommandText(s.file("command")), "on\n");
    EXPECT_FALSE(testing::exists(s.file("command")));
    EXPECT_EQ(takeCommandText(s.file("command")), std::nullopt);
}

TEST(TakeCommandText, LeavesWhatItCannotUseAlone) {
    Scratch s;
    // A FIFO must neither hang the tick nor be removed; text that is not UTF-8 is no command.
    ASSERT_EQ(::mkfifo(s.file("fifo").c_str(), 0600), 0);
    testing::writeFile(s.file("latin1"), "on \xe9t\xe9\n");
    std::filesystem::create_directory(s.file("folder"));
    for (const char* name : {"fifo", "latin1", "folder"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(takeCommandText(s.file(name)), std::nullopt);
        EXPECT_TRUE(testing::exists(s.file(name)));
    }
}

}  // namespace
}  // namespace tarrow::app
