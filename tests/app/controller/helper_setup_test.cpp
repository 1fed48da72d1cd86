#include "app/controller/helper_setup.h"

#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::test {
namespace {

// A root step that never runs anything: it records the script and answers as told.
struct Admin {
    bool confirmAnswer = true;
    Status outcome;
    std::vector<std::string> prompts, scripts, logged;

    app::AdminSteps steps() {
        app::AdminSteps s;
        s.confirm = [this](const std::string& prompt) {
            prompts.push_back(prompt);
            return confirmAnswer;
        };
        s.run = [this](const std::string& script) {
            scripts.push_back(script);
            return outcome;
        };
        return s;
    }
    LogFn log() {
        return [this](std::string_view line) { logged.emplace_back(line); };
    }
};

TEST(HelperSetup, InstallOutcomes) {
    TempFolder scratch;
    const std::string helper = scratch / "tarrow-helper", missing = scratch / "none";
    writeFile(helper, "helper");
    struct Case {
        std::string bundled, request;
        bool confirm;
        Status outcome;
        size_t scripts;
        std::string logged;  // the lines, each ended by a newline
    };
    const Status mismatch =
        Status::failure("run as root", "", 0, "The helper in the app does not match.");
    const std::string notInstalled = "helper not installed\n";
    const Case cases[] = {
        {helper, "/home/u/r", true, Status(), 1, "helper installed\n"},
        {helper, "/home/u/r", false, Status(), 0,
         "admin step not done: cancelled\n" + notInstalled},
        {helper, "/home/u/r", true, mismatch, 1,
         "admin step not done: cannot run as root: The helper in the app does not match.\n" +
             notInstalled},
        {helper, "/home/u/a\nb", true, Status(), 0,
         "state folder path not usable for the helper\n"},
        {missing, "/home/u/r", true, Status(), 0,
         "the helper is missing beside the app: " + missing + "\n" + notInstalled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.logged);
        Admin admin;
        admin.confirmAnswer = c.confirm;
        admin.outcome = c.outcome;
        platform::HelperInstall install{c.bundled, std::string(64, 'a'), c.request, 1000};
        EXPECT_EQ(app::installHelper(install, admin.steps(), admin.log()),
                  c.logged == "helper installed\n");
        std::string logged;
        for (const std::string& line : admin.logged) logged += line + "\n";
        EXPECT_EQ(logged, c.logged);
        ASSERT_EQ(admin.scripts.size(), c.scripts);
        if (c.scripts) {
            EXPECT_EQ(admin.scripts[0], platform::installScript(install));
        }
        if (!admin.prompts.empty()) {
            EXPECT_EQ(admin.prompts[0], platform::installPrompt());
        }
    }
}

TEST(HelperSetup, RemovalOutcomes) {
    struct Case {
        bool confirm;
        bool runs;
        std::vector<std::string> logged;
    };
    const Case cases[] = {
        {true, true, {"helper removed"}},
        {true,
         false,
         {"admin step not done: cannot run as root: not authorized", "helper not removed"}},
        {false, true, {"admin step not done: cancelled", "helper not removed"}},
    };
    for (const Case& c : cases) {
        Admin admin;
        admin.confirmAnswer = c.confirm;
        admin.outcome = c.runs ? Status() : Status::failure("run as root", "", 0, "not authorized");
        app::removeHelper(admin.steps(), admin.log());
        EXPECT_EQ(admin.logged, c.logged);
        if (c.confirm) {
            EXPECT_EQ(admin.scripts, std::vector<std::string>{platform::removalScript()});
            EXPECT_EQ(admin.prompts[0], "Tarrow removes its helper and unblocks every site.");
        }
    }
}

}  // namespace
}  // namespace tarrow::test
