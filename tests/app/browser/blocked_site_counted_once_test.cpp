// A wanted blocked site is counted once per attempt: every new line of the hits file is
// counted at its own time, before the card shows for the newest fresh one, at most once a
// minute per site.

#include <gtest/gtest.h>

#include <sstream>

#include "app/browser/hit_notices.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

using Strings = std::vector<std::string>;
using std::chrono::seconds;

constexpr int64_t now = 1700000000;

// "<seconds ago> <host>" lines as the hits file has them, in seconds since 1970.
std::string ago(const std::string& lines) {
    std::istringstream in(lines);
    std::string out, host;
    for (int64_t age; in >> age >> host;) out += std::to_string(now - age) + " " + host + "\n";
    return out;
}

// Cards are recorded with the number of attempts counted before them.
struct Recorded {
    Strings tried, cards;
    int frontChecks = 0;
    bool notice = true, scriptableFront = false, browserFront = true;
    std::chrono::system_clock::time_point clock{seconds(now) + std::chrono::milliseconds(500)};

    HitNeeds needs() {
        return {
            [this] { return clock; },
            [this] { return notice; },
            [this] { return scriptableFront; },
            [this] { ++frontChecks; },
            [](std::chrono::milliseconds, std::function<void()> job) { job(); },
            [](const std::string& host) -> std::optional<std::string> {
                if (host == "off.test") return std::nullopt;  // listed, but switched off
                return host.starts_with("www.") ? host.substr(4) : host;
            },
            [this] { return browserFront; },
            [this](const std::string& domain, const std::string& host) {
                cards.push_back(domain + " " + host + " after " + std::to_string(tried.size()));
            },
            [this](const std::string& host, std::chrono::sys_seconds at) {
                tried.push_back(host + " " + std::to_string(now - at.time_since_epoch().count()));
            }};
    }
};

TEST(BlockedSite, EveryNewLineIsCountedOnceAndTheNewestFreshOneShowsTheCard) {
    struct Case {
        std::optional<std::string> atArming;  // the file when the watch is armed
        std::string next;                     // the file at the next two takeHits
        Strings tried;                        // "host seconds-before-now"
        Strings cards;
        std::function<void(Recorded&)> change = [](Recorded&) {};
        int frontChecks = 0;
    };
    const Case cases[] = {
        // Lines from before the start are not counted; a burst is, oldest first.
        {ago("50 old.test"),
         ago("50 old.test 2 a.test 1 www.a.test 0 b.test"),
         {"a.test 2", "www.a.test 1", "b.test 0"},
         {"b.test b.test after 3"}},
        {{},
         ago("3 a.test 19 www.b.test"),
         {"a.test 3", "www.b.test 19"},
         {"b.test www.b.test after 2"}},
        // The seen line was pushed out: those from its second on.
        {ago("10 old.test"),
         ago("11 older.test 10 same.test 4 a.test"),
         {"same.test 10", "a.test 4"},
         {"a.test a.test after 2"}},
        {{}, ago("20 a.test"), {"a.test 20"}, {}},  // counted, too old for a card
        // From the future: counted now; older than 90 days or bad seconds: not.
        {{},
         ago("7862400 stale.test -3600 future.test") + "12x4 bad.test\n",
         {"future.test 0"},
         {}},
        {{}, "1 a b\nonlyone\n \n1\ta\n-5 a\n99999999999999999999999 a\n", {}, {}},
        {{}, "\xFF\xFE garbage\n" + ago("1 a.test"), {}, {}},  // not UTF-8: as if empty
        {{}, ago("1 a.test"), {"a.test 1"}, {}, [](Recorded& r) { r.notice = false; }},
        {{}, ago("1 a.test"), {"a.test 1"}, {}, [](Recorded& r) { r.browserFront = false; }},
        {{}, ago("1 off.test"), {"off.test 1"}, {}},
        {{}, ago("1 a.test"), {"a.test 1"}, {}, [](Recorded& r) { r.scriptableFront = true; }, 3},
    };
    for (const Case& c : cases) {
        test::TempFolder dir;
        const std::string file = dir / "hits";
        Recorded r;
        c.change(r);
        HitNotices notices(r.needs());
        if (c.atArming) test::writeFile(file, *c.atArming);
        notices.armed(file);
        test::writeFile(file, c.next);
        notices.takeHits(file);
        notices.takeHits(file);  // nothing new the second time
        EXPECT_EQ(r.tried, c.tried) << c.next;
        EXPECT_EQ(r.cards, c.cards) << c.next;
        EXPECT_EQ(r.frontChecks, c.frontChecks) << c.next;
    }
}

TEST(BlockedSite, OneCardPerSiteAMinute) {
    Recorded r;
    HitNotices notices(r.needs());
    const std::pair<int, const char*> hits[] = {
        {0, "youtube.com"},
        {30, "www.youtube.com"},
        {0, "bild.de"},
        {31, "youtube.com"},
        {-3600, "youtube.com"}};  // the clock set back: no hour-long silence
    for (const auto& [step, host] : hits) {
        r.clock += seconds(step);
        notices.blockedHit(host, false);
    }
    r.notice = false;  // the demonstration shows it all the same, for any name
    notices.blockedHit("off.test", true);
    EXPECT_EQ(r.cards, (Strings{"youtube.com youtube.com after 0", "bild.de bild.de after 0",
                                "youtube.com youtube.com after 0",
                                "youtube.com youtube.com after 0", "off.test off.test after 0"}));
}

}  // namespace
}  // namespace tarrow
