// Running a step as root through pkexec: each way it ends gives a clear result; the text
// prompt is off; the packaged shell gets the step's word (which picks its polkit action)
// and is used only when root owns it and nobody else may change it.

#include "platform/admin_runner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::platform {
namespace {

// The stand-ins: a pkexec that records its arguments and runs the rest, one whose
// dialog was dismissed, one without an agent.
TEST(AdminRunner, OutcomesAndCommandLine) {
    test::TempFolder temp;
    const std::string folder = temp.path, shell = temp / "shell";
    test::writeFile(temp / "pkexec",
                    "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\nshift\nexec \"$@\"\n", 0755);
    test::writeFile(temp / "dismissed", "#!/bin/sh\nexit 126\n", 0755);
    test::writeFile(temp / "no-agent",
                    "#!/bin/sh\necho 'No authentication agent found.' >&2\nexit 127\n", 0755);
    test::writeFile(shell, "#!/bin/sh\nshift\nexec /bin/sh \"$@\"\n", 0755);
    const std::pair<std::string, std::string> cases[] = {
        {"pkexec true", ""},
        {"pkexec echo 'The helper does not match.' >&2; exit 1",
         "cannot run as root: The helper does not match."},
        {"pkexec exit 4", "cannot run as root: the script ended with status 4"},
        {"dismissed true", "cannot run as root: the password dialog was dismissed"},
        {"no-agent true", "cannot run as root: no polkit authentication agent runs"},
    };
    for (const auto& [line, text] : cases) {
        const size_t space = line.find(' ');
        const std::string pkexec = folder + "/" + line.substr(0, space);
        EXPECT_EQ(runAsAdmin(line.substr(space + 1), AdminAction::setUp, pkexec).text(), text);
    }
    EXPECT_TRUE(runAsAdmin("true", AdminAction::remove, folder + "/pkexec", shell).ok());
    EXPECT_EQ(test::readFile(folder + "/pkexec.args"),
              "--disable-internal-agent\n" + shell + "\nremove\n-c\ntrue\n");
}

// The packaged shell is used only when root owns it and nobody else may change it.
TEST(AdminRunner, PackagedShellOnlyWhenRootOwnsIt) {
    test::TempFolder temp;
    const std::string shell = temp / "shell";
    test::writeFile(shell, "#!/bin/sh\n", 0755);
    EXPECT_EQ(adminShell(temp / "missing") + adminShell(temp.path), "/bin/sh/bin/sh");
    for (mode_t mode : {0757, 0775}) {
        ::chmod(shell.c_str(), mode);
        EXPECT_EQ(adminShell(shell), "/bin/sh") << mode;
    }
    ::chmod(shell.c_str(), 0755);
    EXPECT_EQ(adminShell(shell), ::getuid() == 0 ? shell : "/bin/sh");
}

// A quote or backslash in the step cannot end the AppleScript string early; each step's
// polkit action is one the package's policy defines.
TEST(AdminRunner, AppleScriptQuotingAndPolicyActions) {
    EXPECT_EQ(adminAppleScript(R"(echo "a\" b")", R"(Tarrow "x")"),
              R"(do shell script "echo \"a\\\" b\"" with prompt "Tarrow \"x\"" with )"
              "administrator privileges");
    const std::string policy =
        test::readFile(TARROW_SOURCE_DIR "/packaging/de.brightloom.tarrow.policy").value_or("");
    for (AdminAction action : {AdminAction::setUp, AdminAction::remove})
        EXPECT_NE(policy.find("<action id=\"" + polkitAction(action) + "\">"), std::string::npos);
}

}  // namespace
}  // namespace tarrow::platform
