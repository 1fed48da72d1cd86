// The helper program when its standard error leads nowhere: a log line written into a
// pipe whose reader has gone must not end the process.

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <gtest/gtest.h>

#include "support.h"

using namespace tarrow;
using namespace tarrow::test;

namespace {

// Runs the helper with standard error a pipe nobody reads any more, and SIGPIPE as a
// shell leaves it (not ignored). The exit status, or 128 + the signal that ended it.
int runWithClosedStandardError(const std::vector<std::string>& args) {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    const std::string program = helperProgram();
    pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGPIPE, SIG_DFL);
        ::dup2(fds[1], 2);
        ::close(fds[0]);
        ::close(fds[1]);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(fds[0]);
    ::close(fds[1]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(HelperMain, ClosedStandardErrorDoesNotEndTheProgram) {
    TempFolder folder;
    const std::string hosts = folder / "hosts", request = folder / "request";
    writeFile(hosts, "127.0.0.1 localhost\n");
    writeFile(request, "a.com\n");
    const std::string uid = std::to_string(::getuid());

    // Each step logs a line ("blocking …", "section removed") after its work.
    EXPECT_EQ(runWithClosedStandardError(
                  {"--apply", request, "--uid", uid, "--hosts", hosts, "--no-flush"}),
              0);
    EXPECT_NE(readFile(hosts).find("0.0.0.0 a.com\n"), std::string::npos);
    EXPECT_EQ(runWithClosedStandardError({"--clear", "--hosts", hosts, "--no-flush"}), 0);
    EXPECT_EQ(readFile(hosts), "127.0.0.1 localhost\n");
}

}  // namespace
