#include "helper/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace tarrow::helper;

namespace {

// One row per branch: which flag wins, and each way a uid or a port is refused.
TEST(CommandLine, FirstMatchingRowWins) {
    using Parsed = std::tuple<Mode, std::string, uid_t>;  // mode, request file, uid
    const std::vector<std::pair<std::vector<std::string>, Parsed>> rows = {
        {{"--help", "--version"}, {Mode::version, "", 0}},
        {{"--clear", "-h"}, {Mode::help, "", 0}},
        {{"--HELP"}, {Mode::usage, "", 0}},
        {{"--listen-test", "/f", "80", "443", "--clear"}, {Mode::listenTest, "", 0}},
        {{"--listen-test", "/f", "80", "65536", "--clear"}, {Mode::clear, "", 0}},
        {{"--listen-test", "/f", "80"}, {Mode::usage, "", 0}},
        {{"--apply", "/r", "--uid", "501", "--clear"}, {Mode::clear, "", 0}},
        {{"--uid", "4294967295", "--apply", "/r"}, {Mode::apply, "/r", 4294967295u}},
        {{"--uid", "0000000000007", "--apply", "/r"}, {Mode::apply, "/r", 7}},
        {{"--daemon", "/x", "--apply", "/y", "--uid", "501"}, {Mode::daemon, "/x", 501}},
        {{}, {Mode::usage, "", 0}},
        {{"--apply", "/r", "--uid"}, {Mode::usage, "", 0}},
        {{"--apply", "/r", "--uid", ""}, {Mode::usage, "", 0}},
        {{"--apply", "/r", "--uid", "1a"}, {Mode::usage, "", 0}},
        {{"--apply", "/r", "--uid", "4294967296"}, {Mode::usage, "", 0}},
        {{"--apply", "/r"}, {Mode::usage, "", 0}},
        {{"--uid", "1"}, {Mode::usage, "", 0}},
    };
    for (const auto& [args, expected] : rows) {
        const Invocation inv = parseCommandLine(args);
        EXPECT_EQ(Parsed(inv.mode, inv.requestPath, inv.uid), expected)
            << testing::PrintToString(args);
    }
}

TEST(CommandLine, HostsAndFlushAreFixedInTheDaemon) {
    Invocation oneShot =
        parseCommandLine({"--apply", "/r", "--uid", "1", "--hosts", "/copy", "--no-flush"});
    EXPECT_EQ(oneShot.hostsPath, "/copy");
    EXPECT_FALSE(oneShot.flush);
    Invocation daemon =
        parseCommandLine({"--daemon", "/r", "--uid", "1", "--hosts", "/copy", "--no-flush"});
    EXPECT_EQ(daemon.hostsPath, "/etc/hosts");
    EXPECT_TRUE(daemon.flush);
    EXPECT_EQ(parseCommandLine({"--clear", "--hosts"}).hostsPath,
              "/etc/hosts");  // a flag last has no value
}

}  // namespace
