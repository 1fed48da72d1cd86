// The tarrow-helper program itself, run as a process on real files; also when its
// standard error leads nowhere (a log line written into a pipe whose reader has gone must
// not end the process).

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "common/hosts_section.h"

#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using namespace tarrow;
using namespace tarrow::test;

namespace {

// Runs the helper with standard error a pipe nobody reads any more, and SIGPIPE as a
// shell leaves it (not ignored). The exit status, or 128 + the signal that ended it.
int runWithClosedStandardError(const std::vector<std::string>& args) {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGPIPE, SIG_DFL);
        ::dup2(fds[1], 2);
        ::close(fds[0]);
        ::close(fds[1]);
        execHelper(args);
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
    EXPECT_NE(readFile(hosts).value_or("").find("0.0.0.0 a.com\n"), std::string::npos);
    EXPECT_EQ(runWithClosedStandardError({"--clear", "--hosts", hosts, "--no-flush"}), 0);
    EXPECT_EQ(readFile(hosts), "127.0.0.1 localhost\n");
}

const std::string stock = "127.0.0.1\tlocalhost\n::1 localhost\n";

// The messages of the log lines, each checked to be "yyyy-MM-dd HH:mm:ss  message".
std::vector<std::string> logged(const std::string& err) {
    static const std::regex shape(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d  (.*))");
    std::vector<std::string> messages;
    std::istringstream lines(err);
    std::smatch m;
    for (std::string line; std::getline(lines, line);)
        messages.push_back(std::regex_match(line, m, shape) ? m[1].str() : "<unstamped> " + line);
    EXPECT_TRUE(err.empty() || err.back() == '\n') << "unfinished log line";
    return messages;
}

struct Files {
    TempFolder folder;
    std::string hosts = folder / "hosts", request = folder / "request";
    std::string uid = std::to_string(::getuid());
};

// Version and help win over any other argument, even a mode that would change the file;
// bad arguments give the usage (which lists are bad is the parser's table).
TEST(HelperProgram, VersionHelpAndUsageChangeNothing) {
    Files f;
    writeFile(f.hosts, stock);
    const HelperRun version = runHelper({"--clear", "--hosts", f.hosts, "--version", "--uid", "x"});
    EXPECT_TRUE(version.out.starts_with("Tarrow helper ")) << version.out;
    const HelperRun help = runHelper({"--clear", "--hosts", f.hosts, "--help"});
    EXPECT_NE(help.out.find("--listen-test"), std::string::npos) << help.out;
    const HelperRun bad = runHelper({"--apply", f.request, "--hosts", f.hosts, "--no-flush"});
    EXPECT_TRUE(bad.out.starts_with("tarrow-helper --daemon")) << bad.out;
    EXPECT_EQ(std::vector<int>({version.status, help.status, bad.status}),
              std::vector<int>({0, 0, 2}));
    EXPECT_EQ(version.err + help.err + bad.err, "");
    EXPECT_EQ(readFile(f.hosts), stock);
}

TEST(HelperProgram, ApplyAndClear) {
    using Lines = std::vector<std::string>;
    Files f;
    writeFile(f.hosts, stock);
    writeFile(f.request, "a.com\nA.com\nb.com\n");
    HelperRun run =
        runHelper({"--apply", f.request, "--uid", f.uid, "--hosts", f.hosts, "--no-flush"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(logged(run.err), Lines{"blocking 2 host names, without the note"});
    // Never 127.0.0.2 outside the daemon.
    EXPECT_EQ(readFile(f.hosts), hostsFile(stock, {"a.com", "b.com"}));

    run = runHelper({"--clear", "--hosts", f.hosts, "--no-flush"});
    EXPECT_EQ(std::make_pair(run.status, logged(run.err)),
              std::make_pair(0, Lines{"section removed"}));
    EXPECT_EQ(readFile(f.hosts), stock);
    run = runHelper({"--clear", "--hosts", f.hosts, "--no-flush"});
    EXPECT_EQ(std::make_pair(run.status, run.err), std::make_pair(0, std::string()));

    ::unlink(f.hosts.c_str());
    ::mkdir(f.hosts.c_str(), 0755);
    run = runHelper({"--clear", "--hosts", f.hosts, "--no-flush"});
    EXPECT_EQ(
        std::make_pair(run.status, logged(run.err)),
        std::make_pair(1, Lines{"failed: cannot replace " + f.hosts + ": not a regular file"}));
}

// The --uid given is the owner the request file must have.
TEST(HelperProgram, UntrustedRequest) {
    Files f;
    const std::string blocked = hostsFile(stock, {"a.com"});
    writeFile(f.hosts, blocked);
    writeFile(f.request, "b.com\n");
    HelperRun run = runHelper({"--apply", f.request, "--uid", std::to_string(::getuid() + 1),
                               "--hosts", f.hosts, "--no-flush"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(logged(run.err),
              std::vector<std::string>{"request file not trusted, left /etc/hosts as it is: " +
                                       f.request});
    EXPECT_EQ(readFile(f.hosts), blocked);
}

// Name caches are flushed after a change, unless --no-flush: a stand-in nscd records its call.
TEST(HelperProgram, FlushesNameCachesUnlessTold) {
    if (!isRoot()) GTEST_SKIP() << "a private /usr/sbin needs root";
    Files f;
    TempFolder sbin;
    writeFile(sbin / "nscd", "#!/bin/sh\necho \"$@\" >> " + f.folder / "flushed" + "\n", 0755);
    writeFile(f.hosts, stock);
    writeFile(f.request, "a.com\n");
    const Binds sbinBind{{sbin.path, "/usr/sbin"}};
    const std::vector<std::string> apply = {"--apply", f.request, "--uid",
                                            f.uid,     "--hosts", f.hosts};
    std::vector<std::string> noFlush = apply;
    noFlush.push_back("--no-flush");
    const int first = runHelper(noFlush, sbinBind).status;
    if (first == 77) GTEST_SKIP() << "no namespaces here";
    EXPECT_EQ(first, 0);
    EXPECT_FALSE(exists(f.folder / "flushed"));

    writeFile(f.request, "b.com\n");
    EXPECT_EQ(runHelper(apply, sbinBind).status, 0);
    EXPECT_EQ(runHelper(apply, sbinBind).status, 0);  // unchanged: no flush
    EXPECT_EQ(readFile(f.folder / "flushed"), "--invalidate=hosts\n");
}

}  // namespace
