#include "platform/admin_runner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::platform {
namespace {

// Stand-ins for pkexec: one that records its arguments (one a line, in pkexec.args) and
// runs the rest as they are, one that ends like pkexec when the password dialog is
// dismissed, one like pkexec when no polkit agent runs.
class FakePkexec : public ::testing::Test {
  protected:
    void SetUp() override {
        test::writeFile(temp / "pkexec",
                        "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\n"
                        "[ \"$1\" = --disable-internal-agent ] && shift\nexec \"$@\"\n",
                        0755);
        test::writeFile(temp / "dismissed", "#!/bin/sh\nexit 126\n", 0755);
        test::writeFile(temp / "no-agent",
                        "#!/bin/sh\necho 'Error executing command as another user: No "
                        "authentication agent found.' >&2\nexit 127\n",
                        0755);
    }
    test::TempFolder temp;
    const std::string folder = temp.path;
};

TEST_F(FakePkexec, Outcomes) {
    struct Case {
        std::string runner, script;
        std::string text;  // empty: ok
    };
    const Case cases[] = {
        {"pkexec", "true", ""},
        {"pkexec", "echo 'The helper in the app does not match.' >&2; exit 1",
         "cannot run as root: The helper in the app does not match."},
        {"pkexec", "echo progress; exit 3", "cannot run as root: progress"},
        {"pkexec", "exit 4", "cannot run as root: the script ended with status 4"},
        {"dismissed", "true", "cannot run as root: the password dialog was dismissed"},
        {"no-agent", "true", "cannot run as root: no polkit authentication agent runs"},
        {"missing", "true", "cannot run " + folder + "/missing: No such file or directory"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(runAsAdmin(c.script, AdminAction::setUp, folder + "/" + c.runner).text(), c.text)
            << c.script;
    }
}

// pkexec's text prompt is off; the packaged shell gets the step's word, which picks its
// polkit action, and /bin/sh none (it would take the word for a script).
TEST_F(FakePkexec, CommandLinePerStep) {
    const std::string shell = folder + "/shell";
    test::writeFile(shell, "#!/bin/sh\nshift\nexec /bin/sh \"$@\"\n", 0755);
    struct Case {
        AdminAction action;
        std::string shell, arguments;
    };
    const Case cases[] = {
        {AdminAction::setUp, shell, "--disable-internal-agent\n" + shell + "\nset-up\n-c\ntrue\n"},
        {AdminAction::remove, shell, "--disable-internal-agent\n" + shell + "\nremove\n-c\ntrue\n"},
        {AdminAction::remove, "/bin/sh", "--disable-internal-agent\n/bin/sh\n-c\ntrue\n"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(runAsAdmin("true", c.action, folder + "/pkexec", c.shell).ok());
        EXPECT_EQ(test::readFile(folder + "/pkexec.args").value_or(""), c.arguments);
    }
}

// Each step's action is in the package's policy with the word that picks it.
TEST(AdminAction, PolicyHasEachStepsAction) {
    const std::string policy =
        test::readFile(TARROW_SOURCE_DIR "/packaging/de.brightloom.tarrow.policy").value_or("");
    for (AdminAction action : {AdminAction::setUp, AdminAction::remove}) {
        const size_t at = policy.find("<action id=\"" + polkitAction(action) + "\">");
        ASSERT_NE(at, std::string::npos) << polkitAction(action);
        const std::string body = policy.substr(at, policy.find("</action>", at) - at);
        EXPECT_NE(body.find("exec.argv1\">" + std::string(adminShellWord(action)) + "<"),
                  std::string::npos)
            << body;
    }
}

// The packaged shell is used only when root owns it and nobody else may change it.
TEST_F(FakePkexec, PackagedShellOnlyWhenRootOwnsIt) {
    const std::string shell = folder + "/shell";
    test::writeFile(shell, "#!/bin/sh\n", 0755);
    EXPECT_EQ(adminShell(folder + "/missing"), "/bin/sh");
    EXPECT_EQ(adminShell(folder), "/bin/sh") << "a folder";
    ::chmod(shell.c_str(), 0757);
    EXPECT_EQ(adminShell(shell), "/bin/sh") << "writable by others";
    ::chmod(shell.c_str(), 0775);
    EXPECT_EQ(adminShell(shell), "/bin/sh") << "writable by the group";
    ::chmod(shell.c_str(), 0755);
    if (::getuid() != 0) GTEST_SKIP() << "a root-owned file needs root";
    EXPECT_EQ(adminShell(shell), shell);
}

}  // namespace
}  // namespace tarrow::platform
