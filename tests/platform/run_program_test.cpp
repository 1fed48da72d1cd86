#include "platform/run_program.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>

#include "platform/broken_pipe.h"

namespace tarrow::platform {
namespace {

// The signals a started shell ignores, from its /proc status line "SigIgn:\t<hex>".
unsigned long long ignoredByChild() {
    Result<ProgramRun> run =
        runProgram("/bin/sh", {"-c", "sed -n 's/^SigIgn:[[:space:]]*//p' /proc/$$/status"},
                   Output::capture, Output::discard);
    EXPECT_TRUE(run.ok()) << run.status().text();
    return run.ok() ? std::strtoull(run->output.c_str(), nullptr, 16) : ~0ull;
}

TEST(RunProgram, StartedProgramsGetSigpipesDefaultActionBack) {
    const unsigned long long sigpipe = 1ull << (SIGPIPE - 1);
    ignoreBrokenPipes();
    EXPECT_EQ(ignoredByChild() & sigpipe, 0u) << "a pipeline in a script must end quietly";
    std::signal(SIGPIPE, SIG_DFL);
}

}  // namespace
}  // namespace tarrow::platform
