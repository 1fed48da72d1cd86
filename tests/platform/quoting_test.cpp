// Values put into a shell script, an XML file or a systemd unit mean exactly themselves
// (the install script run takes a hostile path through the shell); a started program
// gets SIGPIPE's default action back.

#include "platform/quoting.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

#include "platform/broken_pipe.h"
#include "platform/run_program.h"

namespace tarrow::platform {
namespace {

TEST(Quoting, EachLanguage) {
    const std::array<std::string, 4> cases[] = {
        {"", "''", "", "\"\""},
        {"a&b<c>d\"e", "'a&b<c>d\"e'", "a&amp;b&lt;c&gt;d&quot;e", "\"a&b<c>d\\\"e\""},
        {"$HOME %h \\n `x`", "'$HOME %h \\n `x`'", "$HOME %h \\n `x`", "\"$$HOME %%h \\\\n `x`\""},
    };
    for (const auto& [in, shell, xml, systemd] : cases) {
        EXPECT_EQ(shellQuote(in), shell);
        EXPECT_EQ(xmlEscape(in), xml);
        EXPECT_EQ(systemdQuote(in), systemd);
    }
    ignoreBrokenPipes();  // the app's own setting
    const Result<ProgramRun> run = runProgram(
        "/bin/sh", {"-c", "sed -n 's/^SigIgn:[[:space:]]*//p' /proc/$$/status"}, Output::capture);
    ASSERT_TRUE(run);
    EXPECT_EQ(std::strtoull(run->output.c_str(), nullptr, 16) & (1ull << (SIGPIPE - 1)), 0u);
    std::signal(SIGPIPE, SIG_DFL);
}

}  // namespace
}  // namespace tarrow::platform
