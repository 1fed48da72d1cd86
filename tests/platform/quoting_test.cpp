#include "platform/quoting.h"

#include <gtest/gtest.h>

#include "platform/run_program.h"

namespace tarrow::platform {
namespace {

struct Case {
    std::string in, shell, xml, systemd;
};

const Case cases[] = {
    {"", "''", "", "\"\""},
    {"/home/o'neil/x", "'/home/o'\\''neil/x'", "/home/o'neil/x", "\"/home/o'neil/x\""},
    {"a&b<c>d\"e", "'a&b<c>d\"e'", "a&amp;b&lt;c&gt;d&quot;e", "\"a&b<c>d\\\"e\""},
    {"&amp;", "'&amp;'", "&amp;amp;", "\"&amp;\""},
    {"$HOME %h \\n `x`", "'$HOME %h \\n `x`'", "$HOME %h \\n `x`", "\"$$HOME %%h \\\\n `x`\""},
};

TEST(Quoting, EachLanguage) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(shellQuote(c.in), c.shell);
        EXPECT_EQ(xmlEscape(c.in), c.xml);
        EXPECT_EQ(systemdQuote(c.in), c.systemd);
    }
}

// The shell gives back exactly the quoted value, whatever it holds.
TEST(Quoting, ShellReadsBackTheValue) {
    const std::string values[] = {"o'neil",    "a b\tc", "$(touch /tmp/x) `id` ;|&", "'", "\\'\"",
                                  "ünïcode ✓", "-n"};
    for (const auto& v : values) {
        Result<ProgramRun> r =
            runProgram("/bin/sh", {"-c", "printf %s " + shellQuote(v)}, Output::capture);
        ASSERT_TRUE(r) << r.status().text();
        EXPECT_EQ(r->status, 0);
        EXPECT_EQ(r->output, v);
    }
}

}  // namespace
}  // namespace tarrow::platform
