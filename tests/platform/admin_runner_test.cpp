#include "platform/admin_runner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::platform {
namespace {

// A stand-in for pkexec: runs its arguments as they are, or ends like pkexec does when
// the password dialog is dismissed.
class FakePkexec : public ::testing::Test {
  protected:
    void SetUp() override {
        test::writeFile(temp / "pkexec", "#!/bin/sh\nexec \"$@\"\n", 0755);
        test::writeFile(temp / "dismissed", "#!/bin/sh\nexit 126\n", 0755);
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
        {"missing", "true", "cannot run " + folder + "/missing: No such file or directory"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(runAsAdmin(c.script, folder + "/" + c.runner).text(), c.text) << c.script;
    }
}

// The packaged shell is used only when root owns it and nobody else may change it; the
// script then reaches it exactly as it would reach /bin/sh.
TEST_F(FakePkexec, PackagedShellOnlyWhenRootOwnsIt) {
    test::writeFile(folder + "/shell", "#!/bin/sh\necho packaged >&2\nexec /bin/sh \"$@\"\n", 0755);
    const std::string shell = folder + "/shell";
    EXPECT_EQ(adminShell(folder + "/missing"), "/bin/sh");
    EXPECT_EQ(adminShell(folder), "/bin/sh") << "a folder";
    ::chmod(shell.c_str(), 0757);
    EXPECT_EQ(adminShell(shell), "/bin/sh") << "writable by others";
    ::chmod(shell.c_str(), 0775);
    EXPECT_EQ(adminShell(shell), "/bin/sh") << "writable by the group";
    ::chmod(shell.c_str(), 0755);
    if (::getuid() != 0) GTEST_SKIP() << "a root-owned file needs root";
    EXPECT_EQ(adminShell(shell), shell);
    Status out = runAsAdmin("exit 5", folder + "/pkexec", adminShell(shell));
    EXPECT_EQ(out.detail(), "packaged") << "ran through the packaged shell";
    EXPECT_TRUE(runAsAdmin("true", folder + "/pkexec", adminShell(shell)).ok());
}

TEST(AdminAppleScript, EscapesBackslashFirstThenQuotes) {
    EXPECT_EQ(adminAppleScript("echo \"a\\b\"", "Tarrow needs \"it\""),
              "do shell script \"echo \\\"a\\\\b\\\"\" with prompt \"Tarrow needs \\\"it\\\"\" "
              "with administrator privileges");
}

}  // namespace
}  // namespace tarrow::platform
