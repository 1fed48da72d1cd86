// On SIGTERM, SIGINT or SIGHUP the app empties its request (a FIFO there must not hang
// it, a missing file is not made), waits for a save under way within a limit, and exits 0.

#include "platform/termination.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

enum What { file, nothing, fifo, savingEnds, savingHangs };

// In a child: the hook set, the signal raised. Its exit status (a hang ends by SIGALRM).
// A save under way ends once the handler has begun (the request is empty), or never.
int raised(const std::string& request, int signal, What what) {
    const pid_t child = ::fork();
    if (child != 0) return test::waitForChild(child, 20);
    static std::atomic<bool> busy{true};
    if (what == savingEnds || what == savingHangs) {
        sigset_t all, before;
        sigfillset(&all);
        pthread_sigmask(SIG_SETMASK, &all, &before);
        std::thread([&request, what] {
            while (what == savingEnds && test::statOf(request).st_size != 0) ::usleep(1000);
            if (what == savingEnds) test::writeFile(request + ".saved", "done");
            busy = what == savingHangs;
        }).detach();
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
    }
    if (!platform::emptyRequestOnSignals(request)) ::_exit(3);
    platform::waitOnSignalsWhile(&busy, std::chrono::milliseconds(what == savingEnds ? 5000 : 50));
    ::alarm(5);
    ::raise(signal);
    ::_exit(4);  // not reached when the handler ran
}

TEST(Termination, EmptiesTheRequestAndExitsZero) {
    const std::pair<int, What> cases[] = {
        {SIGTERM, file}, {SIGINT, file},        {SIGHUP, file},        {SIGTERM, nothing},
        {SIGTERM, fifo}, {SIGTERM, savingEnds}, {SIGTERM, savingHangs}};
    for (const auto& [signal, what] : cases) {
        test::TempFolder s;
        const std::string request = s / "blocked-hosts";
        ASSERT_TRUE(what != fifo || ::mkfifo(request.c_str(), 0600) == 0);
        if (what != fifo && what != nothing) test::writeFile(request, "a.example\n");
        EXPECT_EQ(raised(request, signal, what), 0) << signal << " " << what;
        EXPECT_EQ(test::statOf(request).st_size, 0) << what;  // for nothing: not made
        EXPECT_EQ(test::exists(request), what != nothing);
        EXPECT_EQ(test::exists(request + ".saved"), what == savingEnds) << what;
    }
}

}  // namespace
}  // namespace tarrow
