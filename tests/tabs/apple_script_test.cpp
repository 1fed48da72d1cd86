#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/browser/browser_scripts.h"
#include "app/browser/script_values.h"
#include "platform/apple_script.h"
#include "tests/tabs/temp_folder.h"

namespace tarrow {
namespace {

namespace fs = std::filesystem;

// A stand-in for osascript: checks its arguments, answers like the real tool would.
class FakeTool : public ::testing::Test {
protected:
    void SetUp() override {
        dir = tempFolder("osascript");
        tool = (dir / "osascript").string();
    }
    void TearDown() override { fs::remove_all(dir); }
    void answer(const std::string& body) {
        std::ofstream(tool) << "#!/bin/sh\n"
                               "[ \"$1\" = -s ] && [ \"$2\" = s ] && [ \"$3\" = -e ] || exit 9\n"
                               "printf '%s' \"$4\" > '" << (dir / "script").string() << "'\n"
                            << body;
        chmod(tool.c_str(), 0755);
    }
    std::string script() {
        std::ifstream in(dir / "script");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path dir;
    std::string tool;
};

TEST_F(FakeTool, PassesTheScriptWholeAndReadsTheResult) {
    answer("echo '\"https://www.youtube.com/watch?v=1\"'\n");
    const std::string text = readFrontTabScript("com.google.Chrome", "active tab");
    const auto result = platform::runAppleScript(text, tool);
    ASSERT_TRUE(result);
    EXPECT_EQ(script(), text);  // line feeds and quotes arrive unchanged
    EXPECT_EQ(scriptText(*result), "https://www.youtube.com/watch?v=1");
}

TEST_F(FakeTool, ListsAndBooleansComeBackInSourceForm) {
    answer("echo '{{\"https://a.test/\", \"https://b.test/\"}, {}}'\n");
    auto lists = platform::runAppleScript(listAllTabsScript("com.apple.Safari"), tool);
    ASSERT_TRUE(lists);
    EXPECT_EQ(scriptLists(*lists),
              (std::vector<std::vector<std::string>>{{"https://a.test/", "https://b.test/"}, {}}));
    answer("echo true\n");
    auto done = platform::runAppleScript("x", tool);
    ASSERT_TRUE(done);
    EXPECT_EQ(scriptBool(*done), true);
}

TEST_F(FakeTool, FailuresGiveNoResult) {
    answer("echo 'execution error: Not authorized (-1743)' >&2\nexit 1\n");
    EXPECT_FALSE(platform::runAppleScript("x", tool));
    EXPECT_FALSE(platform::runAppleScript("x", (dir / "missing").string()));
}

}  // namespace
}  // namespace tarrow
