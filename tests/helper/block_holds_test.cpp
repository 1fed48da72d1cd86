// A block holds against open connections: only the names new to the section are looked
// up, before the write, and their addresses (never loopback's) cut after it, also after
// a restart; a failed write cuts nothing; which line keeps a name open; browser policies
// follow, problems said once. (The still-open list end to end: the hold scripts.)

#include "helper/block_hold.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <map>

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

std::set<IpAddress> ips(const Names& texts) {
    std::set<IpAddress> out;
    for (const std::string& t : texts) out.insert(*IpAddress::parse(t));
    return out;
}

// The system replaced: a resolver that answers a section's names as the C library does
// and others from `dns` ("slow" ones too late); closing and policies only recorded.
struct Rig {
    TempFolder folder;
    const std::string hosts = folder / "hosts";
    std::map<std::string, Names> dns;
    std::vector<Names> lookups;
    std::vector<std::set<IpAddress>> closes;
    std::optional<Status> closeFailure;
    std::vector<bool> policies, firefox;
    std::vector<PolicyChange> policyAnswer;
    Names logs;
    std::unique_ptr<BlockHold> hold;

    Rig() {
        writeFile(hosts, "127.0.0.1 localhost\n");
        restart();
    }
    void restart() {
        HoldSystem system;
        system.resolve = [this](const Names& names, std::chrono::milliseconds) {
            lookups.push_back(names);
            const std::set<std::string> blocked = blockedNames(readFile(hosts).value_or(""));
            std::vector<NameAnswer> answers;
            for (const std::string& name : names) {
                const Names texts = blocked.count(name) ? Names{"0.0.0.0", "::"} : dns[name];
                answers.push_back({name, NameAnswer::Outcome::failed, {}, "not known"});
                if (name.starts_with("slow")) answers.back().outcome = NameAnswer::Outcome::late;
                if (!texts.empty()) answers.back().outcome = NameAnswer::Outcome::addresses;
                for (const IpAddress& ip : ips(texts)) answers.back().addresses.push_back(ip);
            }
            return answers;
        };
        system.closeConnections = [this](const std::set<IpAddress>& remotes) -> Result<size_t> {
            closes.push_back(remotes);
            if (closeFailure) return *closeFailure;
            return remotes.size();
        };
        system.keepPolicies = [this](bool on) { return policies.push_back(on), policyAnswer; };
        system.keepFirefoxPolicies = [this](bool on) {
            return firefox.push_back(on), std::vector<PolicyChange>{};
        };
        system.hostsPath = hosts;
        system.stillOpenPath = folder / "still-open";
        hold = std::make_unique<BlockHold>(system);
    }
    // Whether the write succeeded.
    bool pass(const Names& names, std::string_view address = plainAddress) {
        const auto write = [&] { return apply(names, hosts, address); };
        return hold->around(names, write, [this](std::string_view l) { logs.emplace_back(l); })
            .ok();
    }
};

TEST(BlockHolds, OnlyNewNamesAreCut) {
    Rig rig;
    rig.dns = {{"a.test", {"192.0.2.1", "2001:db8::1"}},
               {"www.a.test", {"192.0.2.1", "::ffff:192.0.2.9"}},
               {"local.test", {"127.0.0.1", "0.0.0.0", "::1"}},
               {"b.test", {"198.51.100.4"}}};
    const Names names{"a.test", "www.a.test", "local.test", "gone.test"};
    rig.pass(names);
    EXPECT_EQ(rig.lookups.at(0), names);
    EXPECT_EQ(rig.logs, Names{"closed 3 connections to a.test, local.test, gone.test"});
    rig.pass(names, noticeAddress);  // not new
    rig.restart();                   // a restarted helper finds the names in the section
    Names more = names;
    more.push_back("b.test");
    rig.pass(more, noticeAddress);
    EXPECT_EQ(rig.lookups.at(2), Names{"b.test"});
    EXPECT_EQ(rig.closes,
              (std::vector{ips({"192.0.2.1", "2001:db8::1", "192.0.2.9"}), ips({"198.51.100.4"})}));
    EXPECT_EQ(siteList({"www.a.com", "a.com", "m.a.com", "b.org", "c.org"}, 2),
              "a.com, b.org and 1 more");
}

// A refused close is said with the late name; a failed write cuts nothing, and its
// names are still new to the next pass.
TEST(BlockHolds, RefusedClosesAndFailedWrites) {
    Rig rig;
    rig.dns = {{"a.test", {"192.0.2.1"}}};
    rig.closeFailure = Status::failure("close connections through", "socket diagnostics", EPERM);
    ASSERT_EQ(::mkdir((rig.folder / "hosts.tarrow-new").c_str(), 0755), 0);
    EXPECT_FALSE(rig.pass({"a.test", "slow.test"}));
    EXPECT_TRUE(rig.closes.empty() && rig.logs.empty());
    ::rmdir((rig.folder / "hosts.tarrow-new").c_str());
    EXPECT_TRUE(rig.pass({"a.test", "slow.test"}));
    EXPECT_EQ(rig.logs, Names{"open connections to a.test, slow.test stay open: cannot close "
                              "connections through socket diagnostics: Operation not permitted "
                              "(no address in time for slow.test)"});
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

// A problem is said when it appears while blocking, not on every pass; Firefox's
// policies stay while nothing is blocked (it reads them at its start) and go on release.
TEST(BlockHolds, PoliciesFollowTheRequest) {
    Rig rig;
    rig.policyAnswer = {{PolicyChange::Kind::leftAlone, "/etc/x", "a symbolic link"}};
    for (const Names& names : {Names{"a.test"}, Names{"a.test"}, Names{}, Names{"a.test"}})
        rig.pass(names);
    EXPECT_EQ(rig.policies, (std::vector<bool>{true, true, false, true}));
    EXPECT_EQ(rig.firefox, (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(std::count(rig.logs.begin(), rig.logs.end(), "left /etc/x alone: a symbolic link"),
              2);
    rig.hold->release([](std::string_view) {});
    EXPECT_FALSE(rig.policies.back() || rig.firefox.back());
}

}  // namespace
