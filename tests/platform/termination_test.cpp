// On SIGTERM, SIGINT or SIGHUP the app empties its request (a FIFO there must not hang
// it, a missing file is not made) and exits 0. (Waiting for a save under way: the app
// scripts that quit it.)

#include "platform/termination.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

// In a child: the hook set, the signal raised. Its exit status (a hang ends by SIGALRM).
int raised(const std::string& request, int signal) {
    const pid_t child = ::fork();
    if (child != 0) return test::waitForChild(child, 20);
    if (!platform::emptyRequestOnSignals(request)) ::_exit(3);
    ::alarm(5);
    ::raise(signal);
    ::_exit(4);  // not reached when the handler ran
}

TEST(Termination, EmptiesTheRequestAndExitsZero) {
    enum What { file, nothing, fifo };
    const std::pair<int, What> cases[] = {
        {SIGTERM, file}, {SIGINT, file}, {SIGHUP, file}, {SIGTERM, nothing}, {SIGTERM, fifo}};
    for (const auto& [signal, what] : cases) {
        test::TempFolder s;
        const std::string request = s / "blocked-hosts";
        ASSERT_TRUE(what != fifo || ::mkfifo(request.c_str(), 0600) == 0);
        if (what == file) test::writeFile(request, "a.example\n");
        EXPECT_EQ(raised(request, signal), 0) << signal << " " << what;
        EXPECT_EQ(test::statOf(request).st_size, 0) << what;
        EXPECT_EQ(test::exists(request), what != nothing) << what;
    }
}

}  // namespace
}  // namespace tarrow
