#include "helper/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tarrow::helper;

namespace {

TEST(CommandLine, FirstMatchingRowWins) {
    struct Row {
        std::vector<std::string> args;
        Mode mode;
        std::string request;
        uid_t uid;
    };
    const std::vector<Row> rows = {
        {{"--clear", "--version"}, Mode::version, "", 0},
        {{"--help", "--version"}, Mode::version, "", 0},
        {{"--clear", "--help"}, Mode::help, "", 0},
        {{"--daemon", "/x", "--uid", "501", "-h"}, Mode::help, "", 0},
        {{"--apply", "--help", "--uid", "501"}, Mode::help, "", 0},
        {{"--HELP"}, Mode::usage, "", 0},
        {{"--listen-test", "/f", "80", "443", "--clear"}, Mode::listenTest, "", 0},
        {{"--listen-test", "/f", "80", "65536", "--clear"}, Mode::clear, "", 0},
        {{"--listen-test", "/f", "80"}, Mode::usage, "", 0},
        {{"--apply", "/r", "--uid", "501", "--clear"}, Mode::clear, "", 0},
        {{"--apply", "/r", "--uid", "501"}, Mode::apply, "/r", 501},
        {{"--uid", "4294967295", "--apply", "/r"}, Mode::apply, "/r", 4294967295u},
        {{"--uid", "0000000000007", "--apply", "/r"}, Mode::apply, "/r", 7},
        {{"--daemon", "/x", "--apply", "/y", "--uid", "501"}, Mode::daemon, "/x", 501},
        {{"--daemon", "/x", "--uid", "501"}, Mode::daemon, "/x", 501},
        {{}, Mode::usage, "", 0},
        {{"--apply"}, Mode::usage, "", 0},
        {{"--daemon", "/x", "--uid", "-1"}, Mode::usage, "", 0},
        {{"--apply", "/r", "--uid", "+1"}, Mode::usage, "", 0},
        {{"--apply", "/r", "--uid", "1 "}, Mode::usage, "", 0},
        {{"--apply", "/r", "--uid", ""}, Mode::usage, "", 0},
        {{"--apply", "/r"}, Mode::usage, "", 0},
        {{"--apply", "/r", "--uid"}, Mode::usage, "", 0},
        {{"--apply", "/r", "--uid", "abc"}, Mode::usage, "", 0},
        {{"--apply", "/r", "--uid", "4294967296"}, Mode::usage, "", 0},
        {{"--uid", "1"}, Mode::usage, "", 0},
    };
    for (const Row& row : rows) {
        Invocation inv = parseCommandLine(row.args);
        EXPECT_EQ(inv.mode, row.mode) << testing::PrintToString(row.args);
        EXPECT_EQ(inv.requestPath, row.request) << testing::PrintToString(row.args);
        EXPECT_EQ(inv.uid, row.uid) << testing::PrintToString(row.args);
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
