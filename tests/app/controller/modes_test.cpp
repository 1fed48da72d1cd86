// Command-line modes: which one an argument list asks for.

#include "app/controller/modes.h"

#include <gtest/gtest.h>

namespace tarrow::app {
namespace {

TEST(ChooseMode, FirstRowThatAppliesWins) {
    struct Case {
        std::vector<std::string> args;
        Mode mode;
        std::string folder;
    };
    const Case cases[] = {
        {{}, Mode::app, ""},
        {{"--menu", "--version"}, Mode::version, ""},
        {{"--menu", "--help"}, Mode::help, ""},
        {{"-h", "--selftest"}, Mode::help, ""},
        {{"--suggest", "--selftest"}, Mode::selftest, ""},
        {{"--render", "out"}, Mode::render, "out"},
        {{"--icons", "a", "--render", "b"}, Mode::icons, "a"},  // the first image flag decides
        {{"--menu", "--render"}, Mode::menu, ""},               // even as the last argument
        {{"--render"}, Mode::app, ""},
        {{"--icons", "--menu"}, Mode::icons, "--menu"},  // the next argument, whatever it is
        {{"--page-test", "--suggest"}, Mode::suggest, ""},
        {{"--menu", "--page-test"}, Mode::pageTest, ""},
        {{"--attempts", "--menu"}, Mode::menu, ""},
        {{"--attempts"}, Mode::attempts, ""},
        {{"--version=1", "-version", "--Menu"}, Mode::app, ""},  // flags are whole arguments
        {{"for", "abc"}, Mode::command, ""},  // a word without dashes first, checked later
        {{"on", "--version"}, Mode::version, ""},
        {{"-platform", "xcb"}, Mode::app, ""},  // Qt's own options still start the app
    };
    for (const Case& c : cases) {
        const Invocation got = chooseMode(c.args);
        EXPECT_EQ(std::pair(got.mode, got.folder), std::pair(c.mode, c.folder))
            << ::testing::PrintToString(c.args);
    }
}

TEST(ShellCommand, TakesTheCommandFileWordsWithTheirLimits) {
    const std::pair<std::vector<std::string>, std::optional<std::string>> cases[] = {
        {{"on"}, "on"},
        {{"for", "+90"}, "for 90"},
        {{"for"}, std::nullopt},
        {{"lock", "1440"}, "lock 1440"},
        {{"lock", "1441"}, std::nullopt},  // a strict lock is at most a day
        {{"bogus"}, std::nullopt},
        {{"ON"}, std::nullopt},
        {{"on", "now"}, std::nullopt},  // nothing is silently dropped
        {{"card"}, std::nullopt},       // demonstration words stay in the command file
    };
    for (const auto& [args, text] : cases) {
        EXPECT_EQ(shellCommand(args), text) << ::testing::PrintToString(args);
    }
}

}  // namespace
}  // namespace tarrow::app
