// The signal hook, in a child process.

#include "platform/termination.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <tuple>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using tarrow::test::readFile;
using tarrow::test::TempFolder;
using tarrow::test::writeFile;

namespace tarrow {
namespace {

// What is at the request path when the signal comes: a file, nothing, or a FIFO that must
// not hang the exit (a hang ends by SIGALRM instead of an exit status).
TEST(SignalHook, EmptiesTheRequestAndExitsZero) {
    enum What { file, nothing, fifo };
    const std::tuple<int, What> cases[] = {
        {SIGTERM, file}, {SIGINT, file}, {SIGHUP, file}, {SIGTERM, nothing}, {SIGTERM, fifo}};
    for (const auto& [signal, what] : cases) {
        SCOPED_TRACE(::testing::Message() << "signal " << signal << ", case " << what);
        TempFolder s;
        const std::string request = s / "blocked-hosts";
        if (what == file) writeFile(request, "a.example\n");
        if (what == fifo) {
            ASSERT_EQ(::mkfifo(request.c_str(), 0600), 0);
        }
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (!platform::emptyRequestOnSignals(request)) ::_exit(3);
            ::alarm(5);
            ::raise(signal);
            ::_exit(4);  // not reached when the handler ran
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
        if (what == file) {
            EXPECT_EQ(readFile(request), "");
        }
        if (what == nothing) {
            EXPECT_FALSE(test::exists(request)) << "nothing is created";
        }
    }
}

}  // namespace
}  // namespace tarrow
