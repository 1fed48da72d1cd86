#include "platform/resolve_names.h"

#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

#include "tests/support/private_network.h"
#include "tests/support/sockets.h"
#include "tests/support/temp_folder.h"

using namespace tarrow::platform;
using tarrow::test::failed;
using tarrow::test::inPrivateNetwork;
using tarrow::test::TempFolder;
using Outcome = NameAnswer::Outcome;
using namespace std::chrono_literals;

namespace {

// A name server on 127.0.0.1 that never answers: every name the hosts file does not
// hold takes as long as the resolver waits.
int silentNameServer() {
    return tarrow::test::boundSocket(SOCK_DGRAM, "127.0.0.1", 53);
}

struct Resolver {
    TempFolder folder;
    tarrow::test::FileBinds binds;
    explicit Resolver(const std::string& hosts, const std::string& sources = "files dns") {
        std::ofstream(folder / "hosts") << hosts;
        std::ofstream(folder / "resolv.conf")
            << "nameserver 127.0.0.1\noptions timeout:5 attempts:1\n";
        std::ofstream(folder / "nsswitch.conf") << "hosts: " << sources << "\n";
        binds = {{folder / "hosts", "/etc/hosts"},
                 {folder / "resolv.conf", "/etc/resolv.conf"},
                 {folder / "nsswitch.conf", "/etc/nsswitch.conf"}};
    }
};

std::set<std::string> texts(const NameAnswer& answer) {
    std::set<std::string> out;
    for (const IpAddress& ip : answer.addresses) out.insert(ip.text());
    return out;
}

TEST(ResolveNames, AnswersInOrderAndStopsWaitingAtTheDeadline) {
    Resolver resolver(
        "127.0.0.1 localhost\n192.0.2.7 quick.test\n2001:db8::7 quick.test\n"
        "198.51.100.1 www.quick.test\n");
    int status = inPrivateNetwork(
        [] {
            if (silentNameServer() < 0) return failed("name server");
            const auto start = std::chrono::steady_clock::now();
            auto answers = resolveNames({"quick.test", "slow.test", "www.quick.test"}, 400ms);
            const auto took = std::chrono::steady_clock::now() - start;
            if (answers.size() != 3) return failed("three answers");
            if (answers[0].name != "quick.test" || answers[1].name != "slow.test" ||
                answers[2].name != "www.quick.test")
                return failed("order", 2);
            if (answers[0].outcome != Outcome::addresses ||
                texts(answers[0]) != std::set<std::string>{"192.0.2.7", "2001:db8::7"})
                return failed("quick.test", 3);
            if (texts(answers[2]) != std::set<std::string>{"198.51.100.1"})
                return failed("www.quick.test", 4);
            if (answers[1].outcome != Outcome::late || !answers[1].addresses.empty())
                return failed("slow.test late", 5);
            if (took < 380ms || took > 900ms) return failed("waited for the deadline only", 6);

            // Nothing left to wait for: back at once, whatever the deadline.
            const auto again = std::chrono::steady_clock::now();
            answers = resolveNames({"quick.test"}, 5s);
            if (std::chrono::steady_clock::now() - again > 1s) return failed("no wait", 7);
            return resolveNames({}, 5s).empty() ? 0 : failed("empty", 8);
        },
        resolver.binds);
    if (status == 77) GTEST_SKIP() << "needs root for a private resolver";
    EXPECT_EQ(status, 0);
}

TEST(ResolveNames, FailuresAndLongAnswers) {
    std::string hosts = "127.0.0.1 localhost\n0.0.0.0 nothing.test\n";
    for (int i = 0; i < 500; ++i)
        hosts += "10.1." + std::to_string(i / 250) + "." + std::to_string(i % 250) + " many.test\n";
    for (int i = 0; i < 1100; ++i)
        hosts += "10.2." + std::to_string(i / 250) + "." + std::to_string(i % 250) + " huge.test\n";
    Resolver resolver(hosts, "files");  // no name server: unknown names fail at once
    int status = inPrivateNetwork(
        [] {
            auto answers =
                resolveNames({"missing.test", "many.test", "huge.test", "nothing.test"}, 2s);
            if (answers[0].outcome != Outcome::failed || answers[0].error.empty())
                return failed("missing.test fails with the resolver's words");
            if (answers[1].addresses.size() != 500) return failed("500 addresses", 2);
            if (answers[2].addresses.size() != maxAddressesPerName) return failed("capped", 3);
            if (texts(answers[3]) != std::set<std::string>{"0.0.0.0"}) return failed("0.0.0.0", 4);
            return 0;
        },
        resolver.binds);
    if (status == 77) GTEST_SKIP() << "needs root for a private resolver";
    EXPECT_EQ(status, 0);
}

}  // namespace
