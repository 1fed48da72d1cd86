// A block holds against open connections: a failed write cuts nothing, a refused close
// is said; which line keeps a name open. (Cutting only the names new to the section, the
// still-open list and the browser policies that follow: the hold scripts.)

#include "helper/block_hold.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include "common/hosts_section.h"
#include "helper/still_open.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using namespace tarrow;
using namespace tarrow::test;
using platform::IpAddress;
using platform::NameAnswer;
using platform::PolicyChange;
using Names = std::vector<std::string>;

namespace {

// The system replaced: a.test has an address, slow ones answer too late; closing is
// recorded and refused.
struct Rig {
    TempFolder folder;
    const std::string hosts = folder / "hosts";
    std::vector<std::set<IpAddress>> closes;
    Names logs;
    std::vector<PolicyChange> policies;  // what every policy step reports
    std::unique_ptr<BlockHold> hold;

    Rig() {
        HoldSystem system;
        system.resolve = [](const Names& names, std::chrono::milliseconds) {
            std::vector<NameAnswer> answers;
            for (const std::string& name : names)
                answers.push_back(
                    {name,
                     name == "a.test" ? NameAnswer::Outcome::addresses : NameAnswer::Outcome::late,
                     {*IpAddress::parse("192.0.2.1")},
                     ""});
            return answers;
        };
        system.closeConnections = [this](const std::set<IpAddress>& remotes) -> Result<size_t> {
            closes.push_back(remotes);
            return Status::failure("close connections through", "socket diagnostics", EPERM);
        };
        system.keepPolicies = system.keepFirefoxPolicies =
            system.keepExtension = [this](bool) { return policies; };
        system.hostsPath = hosts;
        system.stillOpenPath = folder / "still-open";
        hold = std::make_unique<BlockHold>(system);
    }
    // Whether the write succeeded.
    bool pass(const Names& names) {
        const auto write = [&] { return apply(names, hosts); };
        return hold->around(names, write, [this](std::string_view l) { logs.emplace_back(l); })
            .ok();
    }
};

// A refused close is said with the late name; a failed write cuts nothing, and its
// names are still new to the next pass.
TEST(BlockHolds, RefusedClosesAndFailedWrites) {
    Rig rig;
    ASSERT_EQ(::mkdir((rig.folder / "hosts.tarrow-new").c_str(), 0755), 0);
    EXPECT_FALSE(rig.pass({"a.test", "slow.test"}));
    EXPECT_TRUE(rig.closes.empty() && rig.logs.empty());
    ::rmdir((rig.folder / "hosts.tarrow-new").c_str());
    EXPECT_TRUE(rig.pass({"a.test", "slow.test"}));
    EXPECT_EQ(rig.logs.at(0),
              "open connections to a.test, slow.test stay open: cannot close connections through "
              "socket diagnostics: Operation not permitted (no address in time for slow.test)");
}

// A policy left alone is said once while it lasts, and only where it was wanted.
TEST(BlockHolds, LastingPolicyProblemsAreSaidOnce) {
    Rig rig;
    rig.policies = {{PolicyChange::Kind::leftAlone, "/p", "taken"}};
    const auto log = [&rig](std::string_view l) { rig.logs.emplace_back(l); };
    for (int i = 0; i < 2; ++i) {
        rig.pass({"b.test"});
        rig.hold->keepExtension(log);
    }
    rig.hold->release(log);
    std::erase_if(rig.logs, [](const std::string& l) { return l.starts_with("open conn"); });
    EXPECT_EQ(rig.logs, (Names{"left /p alone: taken", "left /p alone: taken",
                               "browser extension policy not written in /p: taken",
                               "browser extension policy not removed from /p: taken"}));
}

TEST(BlockHolds, WhichLineKeepsANameOpen) {
    const std::string section = hostsFile("", {"www.youtube.com"});
    const std::vector<IpAddress> foreign{*IpAddress::parse("203.0.113.5")};
    const std::string resolver = "the system resolver answers 203.0.113.5 for it, not /etc/hosts";
    const std::pair<std::string, std::string> rows[] = {
        {"203.0.113.5\tyt WWW.YouTube.com\n" + section, "an earlier line of /etc/hosts names it"},
        {section + "203.0.113.5 www.youtube.com\n", "a later line of /etc/hosts names it"},
        {"# 203.0.113.5 www.youtube.com\n" + section, resolver},
        {"203.0.113.5 other.example # www.youtube.com\n" + section, resolver},
        {"203.0.113.5 www.youtube.com.evil\n" + section, resolver},
    };
    for (const auto& [hosts, reason] : rows)
        EXPECT_EQ(stillOpenReason(hosts, "www.youtube.com", foreign), reason) << hosts;
}

}  // namespace
