// The tarrow-helper program as a process: which mode its arguments pick (bad ones give
// the usage and change nothing; the daemon always writes the real file), and name caches
// flushed only after a change.

#include "helper/command_line.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "common/hosts_section.h"
#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using namespace tarrow;
using namespace tarrow::test;
using tarrow::helper::Mode;

namespace {

TEST(HelperProgram, ArgumentsPickOneMode) {
    using Parsed = std::tuple<Mode, std::string, uid_t>;  // mode, request file, uid
    const std::vector<std::pair<std::vector<std::string>, Parsed>> rows = {
        {{"--listen-test", "/f", "80", "65536", "--clear"}, {Mode::clear, "", 0}},
        {{"--uid", "4294967295", "--apply", "/r"}, {Mode::apply, "/r", 4294967295u}},
        {{"--uid", "0000000000007", "--apply", "/r"}, {Mode::apply, "/r", 7}},
        {{"--daemon", "/x", "--apply", "/y", "--uid", "501"}, {Mode::daemon, "/x", 501}},
        {{"--apply", "/r", "--uid", "1a"}, {Mode::usage, "", 0}},
        {{"--apply", "/r", "--uid", "4294967296"}, {Mode::usage, "", 0}},
        {{"--apply", "/r"}, {Mode::usage, "", 0}},
    };
    for (const auto& [args, expected] : rows) {
        const helper::Invocation inv = helper::parseCommandLine(args);
        EXPECT_EQ(Parsed(inv.mode, inv.requestPath, inv.uid), expected)
            << testing::PrintToString(args);
    }
    // The daemon always writes the real file and flushes; a flag last has no value.
    const helper::Invocation daemon =
        helper::parseCommandLine({"--daemon", "/r", "--uid", "1", "--hosts", "/x", "--no-flush"});
    EXPECT_EQ(std::make_pair(daemon.hostsPath, daemon.flush),
              std::make_pair(std::string("/etc/hosts"), true));
    EXPECT_EQ(helper::parseCommandLine({"--clear", "--hosts"}).hostsPath, "/etc/hosts");
}

// A stand-in nscd records its calls: none with --no-flush, none for an unchanged file.
TEST(HelperProgram, FlushesNameCachesAfterAChangeUnlessTold) {
    if (!isRoot()) GTEST_SKIP() << "a private /usr/sbin needs root";
    TempFolder f, sbin;
    writeFile(sbin / "nscd", "#!/bin/sh\necho \"$@\" >> " + f / "flushed" + "\n", 0755);
    writeFile(f / "r", "a.com\n");
    const Binds binds{{sbin.path, "/usr/sbin"}};
    std::vector<std::string> apply = {"--apply", f / "r",     "--uid",     "0",
                                      "--hosts", f / "hosts", "--no-flush"};
    if (runHelper(apply, binds).status == 77) GTEST_SKIP() << "no namespaces here";
    EXPECT_FALSE(exists(f / "flushed"));
    apply.pop_back();
    writeFile(f / "r", "b.com\n");
    EXPECT_EQ(runHelper(apply, binds).status + runHelper(apply, binds).status, 0);
    EXPECT_EQ(readFile(f / "flushed"), "--invalidate=hosts\n");
}

}  // namespace
