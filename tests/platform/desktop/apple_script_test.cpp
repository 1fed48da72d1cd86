#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/browser/browser_scripts.h"
#include "app/browser/script_values.h"
#include "platform/desktop/apple_script.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

// A stand-in for osascript: checks its arguments, answers like the real tool would.
class FakeTool : public ::testing::Test {
  protected:
    void answer(const std::string& body) {
        test::writeFile(tool,
                        "#!/bin/sh\n"
                        "[ \"$1\" = -s ] && [ \"$2\" = s ] && [ \"$3\" = -e ] || exit 9\n"
                        "printf '%s' \"$4\" > '" +
                            dir / "script" + "'\n" + body);
        chmod(tool.c_str(), 0755);
    }
    test::TempFolder dir;
    std::string tool = dir / "osascript";
};

TEST_F(FakeTool, PassesTheScriptWholeAndReadsTheResult) {
    answer("echo '\"https://www.youtube.com/watch?v=1\"'\n");
    const std::string text = readFrontTabScript("com.google.Chrome", "active tab");
    const auto result = platform::runAppleScript(text, tool);
    ASSERT_TRUE(result);
    EXPECT_EQ(test::readFile(dir / "script"), text);  // line feeds and quotes unchanged
    EXPECT_EQ(scriptText(*result), "https://www.youtube.com/watch?v=1");
}

TEST_F(FakeTool, FailuresGiveNoResult) {
    answer("echo 'execution error: Not authorized (-1743)' >&2\nexit 1\n");
    EXPECT_FALSE(platform::runAppleScript("x", tool));
    EXPECT_FALSE(platform::runAppleScript("x", dir / "missing"));
}

}  // namespace
}  // namespace tarrow
