#include "app/controller/command_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <filesystem>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::app {
namespace {

using test::TempFolder;

TEST(ParseCommand, SplitsAtAnyWhiteSpace) {
    struct Case {
        std::string text;
        std::vector<std::string> words;  // empty: no command
        std::string trimmed;
    };
    const Case cases[] = {
        {"\n\n\r\n", {}, ""},
        {"\u00a0\u2028\u3000", {}, ""},
        {"  for\t90 \n", {"for", "90"}, "for\t90"},
        {"for\n\n25\n", {"for", "25"}, "for\n\n25"},
        {"for\u00a090", {"for", "90"}, "for\u00a090"},
        {"caf\u00e9 x\u200by", {"caf\u00e9", "x\u200by"}, "caf\u00e9 x\u200by"},
    };
    for (const Case& c : cases) {
        std::optional<Command> command = parseCommand(c.text);
        const Command got = command.value_or(Command{});
        EXPECT_EQ(std::pair(got.words, got.text), std::pair(c.words, c.trimmed)) << c.text;
    }
}

TEST(LockMinutes, AcceptsOneToAWeek) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"90", 90},     {"1", 1},      {"10080", 10080}, {"+90", 90},
        {"0", {}},      {"10081", {}}, {"-5", {}},       {"99999999999999999999999999999999", {}},
        {"ninety", {}}, {"+", {}},     {"", {}},
    };
    for (const auto& [word, minutes] : cases) EXPECT_EQ(lockMinutes(word), minutes) << word;
}

TEST(TakeCommandText, ReadsAndDeletesARegularFile) {
    TempFolder s;
    test::writeFile(s / "command", "on\n");
    EXPECT_EQ(takeCommandText(s / "command"), "on\n");
    EXPECT_FALSE(test::exists(s / "command"));
    EXPECT_EQ(takeCommandText(s / "command"), std::nullopt);
}

TEST(TakeCommandText, LeavesWhatItCannotUseAlone) {
    TempFolder s;
    // A FIFO must neither hang the tick nor be removed; text that is not UTF-8 is no command.
    ASSERT_EQ(::mkfifo((s / "fifo").c_str(), 0600), 0);
    test::writeFile(s / "latin1", "on \xe9t\xe9\n");
    std::filesystem::create_directory(s / "folder");
    for (const char* name : {"fifo", "latin1", "folder"}) {
        EXPECT_EQ(takeCommandText(s / name), std::nullopt) << name;
        EXPECT_TRUE(test::exists(s / name)) << name;
    }
}

}  // namespace
}  // namespace tarrow::app
