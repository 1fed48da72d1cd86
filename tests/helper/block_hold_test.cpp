#include "helper/block_hold.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <map>

#include "common/hosts_section.h"
#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using namespace tarrow;
using namespace tarrow::test;
using platform::IpAddress;
using platform::NameAnswer;
using platform::PolicyChange;
using Names = std::vector<std::string>;

namespace {

// The hold with the system replaced: a resolver that reads the test's hosts file the way
// the C library does (section names answer the section, plus what `kept` adds) and
// otherwise answers from `dns`; closing and policies only recorded.
struct Rig {
    TempFolder folder;
    const std::string hosts = folder / "hosts", status = folder / "still-open";
    std::map<std::string, Names> dns, kept;
    std::set<std::string> slow;
    std::vector<Names> lookups;
    std::vector<std::chrono::milliseconds> deadlines;
    std::vector<bool> sectionAtLookup;
    std::vector<std::set<IpAddress>> closes;
    std::optional<Status> closeFailure;
    std::vector<bool> policies, firefox;
    std::vector<PolicyChange> policyAnswer, firefoxAnswer;
    Names logs;
    std::unique_ptr<BlockHold> hold;

    Rig() {
        writeFile(hosts, "127.0.0.1 localhost\n");
        restart();
    }
    void restart() {
        HoldSystem system;
        system.resolve = [this](const Names& names, std::chrono::milliseconds deadline) {
            return resolve(names, deadline);
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
            return firefoxAnswer;
        };
        system.recutAfter = std::chrono::seconds(3);
        system.hostsPath = hosts;
        system.stillOpenPath = status;
        hold = std::make_unique<BlockHold>(system);
    }
    std::vector<NameAnswer> resolve(const Names& names, std::chrono::milliseconds deadline) {
        lookups.push_back(names);
        deadlines.push_back(deadline);
        const std::set<std::string> blocked = blockedNames(readFile(hosts).value_or(""));
        sectionAtLookup.push_back(!blocked.empty());
        std::vector<NameAnswer> answers;
        for (const std::string& name : names) {
            NameAnswer a;
            a.name = name;
            Names texts;
            if (slow.count(name)) {
                a.outcome = NameAnswer::Outcome::late;
            } else if (blocked.count(name)) {
                texts = {"0.0.0.0", "::"};
                texts.insert(texts.end(), kept[name].begin(), kept[name].end());
            } else if (dns.count(name)) {
                texts = dns[name];
            } else {
                a.outcome = NameAnswer::Outcome::failed;
                a.error = "Name or service not known";
            }
            if (!texts.empty()) a.outcome = NameAnswer::Outcome::addresses;
            for (const auto& t : texts) a.addresses.push_back(*IpAddress::parse(t));
            answers.push_back(a);
        }
        return answers;
    }
    Result<bool> write(const Names& names, std::string_view address = plainAddress) {
        return hold->around(
            names, [&] { return apply(names, hosts, address); },
            [this](std::string_view line) { logs.emplace_back(line); });
    }
    // A pass whose write must succeed; whether it changed the file.
    bool pass(const Names& names, std::string_view address = plainAddress) {
        Result<bool> changed = write(names, address);
        EXPECT_TRUE(changed.ok()) << changed.status().text();
        return changed.ok() && *changed;
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

TEST(BlockHold, NewNamesAreLookedUpBeforeTheWriteAndCutAfterIt) {
    Rig rig;
    rig.dns = {{"a.test", {"192.0.2.1", "2001:db8::1"}},
               {"www.a.test", {"192.0.2.1", "::ffff:192.0.2.9"}},
               {"local.test", {"127.0.0.1", "0.0.0.0", "::1"}}};
    EXPECT_TRUE(rig.pass({"a.test", "www.a.test", "local.test", "gone.test"}));
    ASSERT_EQ(rig.lookups.size(), 2u);  // before the write, and the check after it
    EXPECT_EQ(rig.lookups[0], (Names{"a.test", "www.a.test", "local.test", "gone.test"}));
    EXPECT_EQ(rig.sectionAtLookup, (std::vector<bool>{false, true}));
    EXPECT_EQ(rig.deadlines[0], lookupDeadline);
    EXPECT_TRUE(rig.deadlines[1] >= checkDeadlineAtLeast && rig.deadlines[1] <= lookupDeadline);
    // Shared addresses once; loopback and the unspecified address never.
    EXPECT_EQ(rig.closes, std::vector{ips({"192.0.2.1", "2001:db8::1", "192.0.2.9"})});
    EXPECT_EQ(rig.logs, Names{"closed 3 connections to a.test, local.test, gone.test"});
    EXPECT_FALSE(::access(rig.status.c_str(), F_OK) == 0) << "nothing still open";

    // The same names again, or with the notice address: nothing starts, nothing is cut.
    rig.pass({"a.test", "www.a.test", "local.test", "gone.test"});
    rig.pass({"a.test", "www.a.test", "local.test", "gone.test"}, noticeAddress);
    EXPECT_EQ(rig.lookups.size(), 2u);
    EXPECT_EQ(rig.closes.size(), 1u);

    // One more name: only it is looked up and cut.
    rig.dns["b.test"] = {"198.51.100.4"};
    rig.pass({"a.test", "www.a.test", "local.test", "gone.test", "b.test"}, noticeAddress);
    EXPECT_EQ(rig.lookups[2], Names{"b.test"});
    EXPECT_EQ(rig.closes.back(), ips({"198.51.100.4"}));
    EXPECT_EQ(rig.logs.back(), "closed 1 connection to b.test");

    // A restarted helper finds the names in the section: they are not new.
    rig.restart();
    rig.pass({"a.test", "www.a.test", "local.test", "gone.test", "b.test"}, noticeAddress);
    EXPECT_EQ(rig.lookups.size(), 4u);
    EXPECT_EQ(rig.closes.size(), 2u);
}

// A browser may connect again from its own name cache until that runs out: the same
// addresses are cut once more then, unless the names are no longer blocked.
TEST(BlockHold, TheBlocksAddressesAreCutOnceMoreLater) {
    Rig rig;
    rig.dns = {{"a.test", {"192.0.2.1"}}, {"b.test", {"192.0.2.2"}}};
    const auto before = std::chrono::steady_clock::now();
    rig.pass({"a.test"});
    auto due = rig.hold->recutDue();
    ASSERT_TRUE(due);
    EXPECT_TRUE(*due >= before + std::chrono::seconds(3) &&
                *due <= std::chrono::steady_clock::now() + std::chrono::seconds(3));
    rig.pass({"a.test"});
    rig.hold->recut([&](std::string_view line) { rig.logs.emplace_back(line); });
    EXPECT_EQ(rig.closes, (std::vector{ips({"192.0.2.1"}), ips({"192.0.2.1"})}));
    EXPECT_EQ(rig.logs.back(), "closed 1 connection to a.test again");
    EXPECT_FALSE(rig.hold->recutDue());

    rig.pass({"a.test", "b.test"});
    rig.pass({"a.test"});
    EXPECT_FALSE(rig.hold->recutDue()) << "b.test is open again: its connections are not cut";
}

TEST(BlockHold, LateNamesRefusalAndFailedWrites) {
    Rig rig;
    rig.dns = {{"a.test", {"192.0.2.1"}}};
    rig.slow = {"slow.test", "www.slow.test"};
    rig.closeFailure = Status::failure("close connections through", "socket diagnostics", EPERM);
    rig.pass({"a.test", "slow.test", "www.slow.test"});
    EXPECT_EQ(rig.logs, Names{"open connections to a.test, slow.test stay open: cannot close "
                              "connections through socket diagnostics: Operation not permitted "
                              "(no address in time for slow.test)"});

    // A write that fails cuts nothing; the names are still new on the next pass.
    Rig broken;
    broken.dns = {{"a.test", {"192.0.2.1"}}};
    ::unlink(broken.hosts.c_str());
    ::mkdir(broken.hosts.c_str(), 0755);
    EXPECT_FALSE(broken.write({"a.test"}).ok());
    EXPECT_TRUE(broken.closes.empty() && broken.logs.empty());
    ::rmdir(broken.hosts.c_str());
    writeFile(broken.hosts, "");
    EXPECT_TRUE(broken.pass({"a.test"}));
    EXPECT_EQ(broken.closes.size(), 1u);
}

TEST(BlockHold, StillOpenIsLoggedOnceAndListedWhileItLasts) {
    Rig rig;
    writeFile(rig.hosts, "127.0.0.1 localhost\n203.0.113.5 www.youtube.com\n");
    rig.dns = {{"www.youtube.com", {"203.0.113.5"}}, {"youtube.com", {"203.0.113.6"}}};
    rig.kept = {{"www.youtube.com", {"203.0.113.5"}}};
    const Names names{"youtube.com", "www.youtube.com"};
    rig.pass(names);
    const std::string line = "www.youtube.com: an earlier line of /etc/hosts names it\n";
    EXPECT_EQ(rig.count("still open: "), 1u);
    EXPECT_EQ(rig.logs.back(),
              "still open: www.youtube.com (an earlier line of /etc/hosts names it)");
    EXPECT_EQ(readFile(rig.status), line);
    EXPECT_EQ(statOf(rig.status).st_mode & 0777, 0644u);

    rig.pass(names);  // checked again, still open, not logged again
    EXPECT_EQ(rig.lookups.back(), Names{"www.youtube.com"});
    EXPECT_EQ(rig.count("still open: "), 1u);

    // A helper started later keeps the entry until its own check.
    rig.restart();
    rig.pass(names);
    EXPECT_EQ(readFile(rig.status), line);
    EXPECT_EQ(rig.count("still open: "), 1u);

    // The user removed the foreign line: the entry goes.
    rig.kept.clear();
    rig.pass(names);
    EXPECT_NE(::access(rig.status.c_str(), F_OK), 0);

    rig.kept = {{"www.youtube.com", {"203.0.113.5"}}};
    rig.pass({});
    rig.pass(names);  // blocked anew: checked and logged anew
    EXPECT_EQ(rig.count("still open: "), 2u);
    rig.pass({});  // nothing blocked, nothing listed
    EXPECT_NE(::access(rig.status.c_str(), F_OK), 0);
    // An entry of an earlier run for a name no longer blocked goes at the first pass.
    writeFile(rig.status, line);
    rig.restart();
    rig.pass({"youtube.com"});
    EXPECT_NE(::access(rig.status.c_str(), F_OK), 0);
}

TEST(BlockHold, PoliciesFollowTheRequestAndProblemsAreLoggedOnce) {
    Rig rig;
    using Kind = PolicyChange::Kind;
    rig.policyAnswer = {{Kind::written, "/etc/chromium/policies/managed/p.json", {}},
                        {Kind::leftAlone, "/etc/opt/chrome/policies/managed", "a symbolic link"}};
    rig.pass({"a.test"});
    rig.pass({"a.test"});
    rig.policyAnswer = {};
    rig.pass({"a.test"});
    rig.policyAnswer = {{Kind::leftAlone, "/etc/opt/chrome/policies/managed", "a symbolic link"},
                        {Kind::removed, "/etc/chromium/policies/managed/p.json", {}}};
    rig.pass({});
    EXPECT_EQ(rig.policies, (std::vector<bool>{true, true, true, false}));
    EXPECT_EQ(rig.firefox, (std::vector<bool>{true, true, true, true}))
        << "Firefox reads its policies at start: they stay while nothing is blocked";
    EXPECT_EQ(rig.count("left "), 1u) << "nothing to say about a policy not wanted";
    EXPECT_EQ(rig.count("browser policy written, DNS-over-HTTPS off: "
                        "/etc/chromium/policies/managed/p.json"),
              2u);
    EXPECT_EQ(rig.count("left /etc/opt/chrome/policies/managed alone: a symbolic link"), 1u)
        << "logged when it appears while blocking, not while it lasts";
    rig.policyAnswer = {{Kind::leftAlone, "/etc/opt/chrome/policies/managed", "a symbolic link"}};
    rig.pass({"a.test"});
    EXPECT_EQ(rig.count("left /etc/opt/chrome/policies/managed alone: a symbolic link"), 2u)
        << "and again when the next block meets it";
    EXPECT_EQ(rig.count("browser policy removed: /etc/chromium/policies/managed/p.json"), 1u);

    writeFile(rig.status, "a.test: x\n");
    rig.hold->release([&](std::string_view line) { rig.logs.emplace_back(line); });
    EXPECT_EQ(rig.policies.back(), false);
    EXPECT_EQ(rig.firefox.back(), false);
    EXPECT_NE(::access(rig.status.c_str(), F_OK), 0);
}

TEST(BlockHold, SiteListForLogLines) {
    EXPECT_EQ(siteList({"www.a.com", "a.com", "m.a.com", "www.com", "b.org"}),
              "a.com, www.com, b.org");
    EXPECT_EQ(siteList({"a.com", "b.com", "c.com"}, 2), "a.com, b.com and 1 more");
    EXPECT_EQ(siteList({}), "");
}

}  // namespace
