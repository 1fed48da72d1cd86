#include "app/controller/helper_setup.h"

#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::test {
namespace {

// A root step that never runs anything: it records the script and answers as told.
struct Admin {
    Status outcome;
    std::string folder;
    std::vector<std::string> scripts, logged, told;
    std::vector<platform::AdminAction> actions;

    app::AdminSteps steps() {
        app::AdminSteps s;
        s.run = [this](const std::string& script, platform::AdminAction action) {
            scripts.push_back(script);
            actions.push_back(action);
            return outcome;
        };
        s.folder = folder;
        s.noAgent = [this](const std::string& command) { told.push_back(command); };
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
        Status outcome;
        size_t scripts;
        std::string logged;  // the lines, each ended by a newline
    };
    const Status mismatch =
        Status::failure("run as root", "", 0, "The helper in the app does not match.");
    const std::string notInstalled = "helper not installed\n";
    const Case cases[] = {
        {helper, "/home/u/r", Status(), 1, "helper installed\n"},
        {helper, "/home/u/r", mismatch, 1,
         "admin step not done: cannot run as root: The helper in the app does not match.\n" +
             notInstalled},
        {helper, "/home/u/a\nb", Status(), 0, "state folder path not usable for the helper\n"},
        {missing, "/home/u/r", Status(), 0,
         "the helper is missing beside the app: " + missing + "\n" + notInstalled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.logged);
        Admin admin;
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
            EXPECT_EQ(admin.actions[0], platform::AdminAction::setUp);
        }
    }
}

TEST(HelperSetup, RemovalOutcomes) {
    Admin admin;
    EXPECT_TRUE(app::removeHelper(admin.steps(), admin.log()));
    EXPECT_EQ(admin.logged, std::vector<std::string>{"helper removed"});
    EXPECT_EQ(admin.scripts, std::vector<std::string>{platform::removalScript()});
    EXPECT_EQ(admin.actions, std::vector{platform::AdminAction::remove});
}

// Without a polkit agent no dialog can ask: the script is left in the state folder and
// the log and the one dialog name the command that runs it as root.
TEST(HelperSetup, NoAgentNamesTheRootCommand) {
    TempFolder scratch;
    Admin admin;
    admin.folder = scratch.path;
    admin.outcome = Status::failure("run as root", "", 0, std::string(platform::noAgentDetail));
    EXPECT_FALSE(app::removeHelper(admin.steps(), admin.log()));
    const std::string command = "sudo sh '" + scratch / "helper-removal.sh" + "'";
    EXPECT_EQ(
        admin.logged,
        (std::vector<std::string>{
            "admin step not done: no polkit authentication agent runs; as root, run: " + command,
            "helper not removed"}));
    EXPECT_EQ(admin.told, std::vector<std::string>{command});
    EXPECT_EQ(readFile(scratch / "helper-removal.sh"), platform::removalScript() + "\n");
}

}  // namespace
}  // namespace tarrow::test
