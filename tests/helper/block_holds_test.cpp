// A block holds against open connections: only the names new to the section are looked
// up, before the write, and their addresses (never loopback's) cut after it, also after
// a restart; a failed write cuts nothing; a name an earlier hosts line keeps open is
// logged once and listed while it lasts; browser policies follow, problems said once.

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

// The system replaced: a resolver that answers a section's names as the C library does
// (plus what `kept` adds) and others from `dns`; closing and policies only recorded.
struct Rig {
    TempFolder folder;
    const std::string hosts = folder / "hosts", status = folder / "still-open";
    std::map<std::string, Names> dns, kept;
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
                NameAnswer a{name, NameAnswer::Outcome::failed, {}, "not known"};
                Names texts = blocked.count(name) ? kept[name] : dns[name];
                if (blocked.count(name)) texts.insert(texts.end(), {"0.0.0.0", "::"});
                if (name.starts_with("slow"))
                    a.outcome = NameAnswer::Outcome::late;
                else if (!texts.empty())
                    a.outcome = NameAnswer::Outcome::addresses;
                for (const auto& t : texts) a.addresses.push_back(*IpAddress::parse(t));
                answers.push_back(a);
            }
            return answers;
        };
        system.closeConnections = [this](const std::set<IpAddress>& remotes) -> Result<size_t> {
            closes.push_back(remotes);
            if (closeFailure) return *closeFailure;
            return remotes.size();
        };
        system.keepPolicies = [this](bool on) {
            policies.push_back(on);
            return policyAnswer;
        };
        system.keepFirefoxPolicies = [this](bool on) {
            firefox.push_back(on);
            return std::vector<PolicyChange>{};
        };
        system.hostsPath = hosts;
        system.stillOpenPath = status;
        hold = std::make_unique<BlockHold>(system);
    }
    // Whether the write succeeded.
    bool pass(const Names& names, std::string_view address = plainAddress) {
        return hold
            ->around(
                names, [&] { return apply(names, hosts, address); },
                [this](std::string_view line) { logs.emplace_back(line); })
            .ok();
    }
    size_t count(const std::string& prefix) const {
        return std::count_if(logs.begin(), logs.end(),
                             [&](const std::string& l) { return l.starts_with(prefix); });
    }
};

std::set<IpAddress> ips(std::initializer_list<const char*> texts) {
    std::set<IpAddress> out;
    for (const char* t : texts) out.insert(*IpAddress::parse(t));
    return out;
}

TEST(BlockHolds, OnlyNewNamesAreCut) {
    Rig rig;
    rig.dns = {{"a.test", {"192.0.2.1", "2001:db8::1"}},
               {"www.a.test", {"192.0.2.1", "::ffff:192.0.2.9"}},
               {"local.test", {"127.0.0.1", "0.0.0.0", "::1"}}};
    const Names names{"a.test", "www.a.test", "local.test", "gone.test"};
    rig.pass(names);
    EXPECT_EQ(rig.lookups.at(0), names);
    EXPECT_EQ(rig.closes, std::vector{ips({"192.0.2.1", "2001:db8::1", "192.0.2.9"})});
    EXPECT_EQ(rig.logs, Names{"closed 3 connections to a.test, local.test, gone.test"});
    rig.pass(names, noticeAddress);  // not new
    rig.dns["b.test"] = {"198.51.100.4"};
    rig.restart();  // a restarted helper finds the names in the section
    Names more = names;
    more.push_back("b.test");
    rig.pass(more, noticeAddress);
    EXPECT_EQ(rig.lookups.at(2), Names{"b.test"});
    EXPECT_EQ(rig.closes,
              (std::vector{ips({"192.0.2.1", "2001:db8::1", "192.0.2.9"}), ips({"198.51.100.4"})}));
    EXPECT_EQ(siteList({"www.a.com", "a.com", "m.a.com", "b.org", "c.org"}, 2),
              "a.com, b.org and 1 more");
}

TEST(BlockHolds, LateNamesRefusalAndFailedWrites) {
    Rig rig;
    rig.dns = {{"a.test", {"192.0.2.1"}}};
    rig.closeFailure = Status::failure("close connections through", "socket diagnostics", EPERM);
    rig.pass({"a.test", "slow.test"});
    EXPECT_EQ(rig.logs, Names{"open connections to a.test, slow.test stay open: cannot close "
                              "connections through socket diagnostics: Operation not permitted "
                              "(no address in time for slow.test)"});
    Rig broken;
    broken.dns = {{"a.test", {"192.0.2.1"}}};
    ::unlink(broken.hosts.c_str());
    ::mkdir(broken.hosts.c_str(), 0755);
    EXPECT_FALSE(broken.pass({"a.test"}));
    EXPECT_TRUE(broken.closes.empty() && broken.logs.empty());
    ::rmdir(broken.hosts.c_str());
    EXPECT_TRUE(broken.pass({"a.test"}));
    EXPECT_EQ(broken.closes.size(), 1u) << "still new after the failed write";
}

TEST(BlockHolds, StillOpenIsLoggedOnceAndListedWhileItLasts) {
    Rig rig;
    writeFile(rig.hosts, "203.0.113.5 www.youtube.com\n");
    rig.kept = {{"www.youtube.com", {"203.0.113.5"}}};
    const Names names{"youtube.com", "www.youtube.com"};
    const std::string line = "www.youtube.com: an earlier line of /etc/hosts names it\n";
    rig.pass(names);
    rig.pass(names);
    rig.restart();  // a helper started later keeps the entry until its own check
    EXPECT_EQ(readFile(rig.status), line);
    rig.pass(names);
    EXPECT_EQ(rig.count("still open: www.youtube.com (an earlier line"), 1u);
    rig.kept.clear();  // the user removed the foreign line
    rig.pass(names);
    EXPECT_FALSE(exists(rig.status));
    writeFile(rig.status, line);  // an earlier run's entry for a name no longer blocked
    rig.restart();
    rig.pass({"youtube.com"});
    EXPECT_FALSE(exists(rig.status));
}

TEST(BlockHolds, WhichLineKeepsANameOpen) {
    const std::string section = hostsFile("", {"www.youtube.com"});
    const std::vector<IpAddress> foreign{*IpAddress::parse("203.0.113.5")};
    const std::string earlier = "an earlier line of /etc/hosts names it";
    const std::string resolver = "the system resolver answers 203.0.113.5 for it, not /etc/hosts";
    const std::pair<std::string, std::string> rows[] = {
        {"203.0.113.5\tyt WWW.YouTube.com\n" + section, earlier},
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
    rig.pass({"a.test"});
    rig.pass({"a.test"});
    rig.pass({});
    rig.pass({"a.test"});
    EXPECT_EQ(rig.policies, (std::vector<bool>{true, true, false, true}));
    EXPECT_EQ(rig.firefox, (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(rig.count("left /etc/x alone: a symbolic link"), 2u);
    rig.hold->release([](std::string_view) {});
    EXPECT_FALSE(rig.policies.back() || rig.firefox.back());
}

}  // namespace
