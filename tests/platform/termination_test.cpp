// The signal hook, in a child process.

#include "platform/termination.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <thread>
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

// A save under way when the signal comes is waited for, after the request is emptied;
// one that never ends holds the exit up for the limit only.
TEST(SignalHook, WaitsForASaveUnderWayWithinTheLimit) {
    for (const bool saveEnds : {true, false}) {
        SCOPED_TRACE(saveEnds ? "the save ends" : "the save hangs");
        TempFolder s;
        const std::string request = s / "blocked-hosts";
        const std::string saved = s / "saved";
        writeFile(request, "a.example\n");
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            static std::atomic<bool> busy{true};
            sigset_t all, before;
            sigfillset(&all);
            pthread_sigmask(SIG_SETMASK, &all, &before);
            std::thread writer([&] {
                // The save finishes only once the handler has begun (the request is empty).
                while (saveEnds) {
                    struct stat st {};
                    if (::stat(request.c_str(), &st) == 0 && st.st_size == 0) break;
                    ::usleep(1000);
                }
                if (!saveEnds) return;
                writeFile(saved, "done");
                busy = false;
            });
            writer.detach();
            pthread_sigmask(SIG_SETMASK, &before, nullptr);
            if (!platform::emptyRequestOnSignals(request)) ::_exit(3);
            platform::waitOnSignalsWhile(&busy, std::chrono::milliseconds{saveEnds ? 5000 : 50});
            ::alarm(5);
            ::raise(SIGTERM);
            ::_exit(4);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_EQ(readFile(request), "");
        EXPECT_EQ(test::exists(saved), saveEnds);
    }
}

}  // namespace
}  // namespace tarrow
