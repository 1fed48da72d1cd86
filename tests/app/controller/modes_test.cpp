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
        {{"--verbose"}, Mode::app, ""},
        {{"--menu", "--version"}, Mode::version, ""},
        {{"--selftest", "--version"}, Mode::version, ""},
        {{"--help", "--version"}, Mode::version, ""},
        {{"--menu", "--help"}, Mode::help, ""},
        {{"-h", "--selftest"}, Mode::help, ""},
        {{"--icons", "--help"}, Mode::help, ""},
        {{"--Help", "-help"}, Mode::app, ""},
        {{"--suggest", "--selftest"}, Mode::selftest, ""},
        {{"--render", "out"}, Mode::render, "out"},
        {{"--icons", "a", "--render", "b"}, Mode::icons, "a"},  // the first image flag decides
        {{"--menu", "--render"}, Mode::menu, ""},               // even as the last argument
        {{"--render"}, Mode::app, ""},
        {{"--icons", "--menu"}, Mode::icons, "--menu"},  // the next argument, whatever it is
        {{"--page-test", "--suggest"}, Mode::suggest, ""},
        {{"--menu", "--page-test"}, Mode::pageTest, ""},
        {{"--menu"}, Mode::menu, ""},
        {{"--attempts", "--menu"}, Mode::menu, ""},
        {{"--attempts"}, Mode::attempts, ""},
        {{"--version=1", "-version", "--Menu"}, Mode::app, ""},  // flags are whole arguments
    };
    for (const Case& c : cases) {
        Invocation invocation = chooseMode(c.args);
        EXPECT_EQ(invocation.mode, c.mode) << ::testing::PrintToString(c.args);
        EXPECT_EQ(invocation.folder, c.folder) << ::testing::PrintToString(c.args);
    }
}

}  // namespace
}  // namespace tarrow::app
