// A wanted blocked site is counted once per attempt: every new line of the hits file is
// counted at its own time, before the card shows for the newest fresh one, at most once a
// minute per site; the folder's watch follows it through replacements.

#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>

#include "app/browser/hit_notices.h"
#include "app/browser/hits_watch.h"
#include "tests/support/files.h"
#include "tests/support/qt_app.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;

constexpr int64_t now = 1700000000;

std::string lines(const std::vector<std::pair<int64_t, const char*>>& hits) {
    std::string text;
    for (const auto& [at, host] : hits) text += std::to_string(at) + " " + host + "\n";
    return text;
}

struct Recorded {
    std::vector<std::string> tried, cards;
    int frontChecks = 0;
    bool notice = true, scriptableFront = false, browserFront = true;
    std::chrono::system_clock::time_point clock{seconds(now) + std::chrono::milliseconds(500)};

    HitNeeds needs() {
        HitNeeds n;
        n.now = [this] { return clock; };
        n.notice = [this] { return notice; };
        n.frontTabPath = [this] { return scriptableFront; };
        n.checkFrontTab = [this] { ++frontChecks; };
        n.later = [](std::chrono::milliseconds, std::function<void()> job) { job(); };
        n.siteFor = [](const std::string& host) -> std::optional<std::string> {
            if (host == "off.test") return std::nullopt;  // listed, but switched off
            return host.starts_with("www.") ? host.substr(4) : host;
        };
        n.browserInFront = [this] { return browserFront; };
        n.showCard = [this](const std::string& domain, const std::string& host) {
            cards.push_back(domain + " " + host + " after " + std::to_string(tried.size()));
        };
        n.tried = [this](const std::string& host, std::chrono::sys_seconds at) {
            tried.push_back(host + " " + std::to_string(now - at.time_since_epoch().count()));
        };
        return n;
    }
};

TEST(BlockedSite, EveryNewLineIsCountedOnceAndTheNewestFreshOneShowsTheCard) {
    struct Case {
        const char* what;
        std::optional<std::string> atArming;  // the file when the watch is armed
        std::string next;                     // the file at the next two takeHits
        std::vector<std::string> tried;       // "host seconds-before-now"
        std::vector<std::string> cards;
        std::function<void(Recorded&)> change = [](Recorded&) {};
        int frontChecks = 0;
    };
    const Case cases[] = {
        {"lines from before the start are not counted; a burst is, oldest first",
         lines({{now - 50, "old.test"}}),
         lines({{now - 50, "old.test"},
                {now - 2, "a.test"},
                {now - 1, "www.a.test"},
                {now, "b.test"}}),
         {"a.test 2", "www.a.test 1", "b.test 0"},
         {"b.test b.test after 3"}},
        {"an empty file when armed: all of it is new",
         std::nullopt,
         lines({{now - 3, "a.test"}, {now - 19, "www.b.test"}}),
         {"a.test 3", "www.b.test 19"},
         {"b.test www.b.test after 2"}},
        {"the seen line was pushed out: those from its second on",
         lines({{now - 10, "old.test"}}),
         lines({{now - 11, "older.test"}, {now - 10, "same.test"}, {now - 4, "a.test"}}),
         {"same.test 10", "a.test 4"},
         {"a.test a.test after 2"}},
        {"20 s old: counted, no card",
         std::nullopt,
         lines({{now - 20, "a.test"}}),
         {"a.test 20"},
         {}},
        {"from the future: counted now; older than 90 days or bad seconds: not",
         std::nullopt,
         lines({{now - 91 * 86400, "stale.test"}, {now + 3600, "future.test"}}) + "12x4 bad.test\n",
         {"future.test 0"},
         {}},
        {"lines of one or three pieces, tab-split, negative or huge seconds: none counted",
         std::nullopt,
         "1 a b\nonlyone\n \n1\ta\n-5 a\n99999999999999999999999 a\n",
         {},
         {}},
        {"not UTF-8: the file counts as empty",
         std::nullopt,
         "\xFF\xFE garbage\n" + lines({{now - 1, "a.test"}}),
         {},
         {}},
        {"card switched off",
         std::nullopt,
         lines({{now - 1, "a.test"}}),
         {"a.test 1"},
         {},
         [](Recorded& r) { r.notice = false; }},
        {"another program in front",
         std::nullopt,
         lines({{now - 1, "a.test"}}),
         {"a.test 1"},
         {},
         [](Recorded& r) { r.browserFront = false; }},
        {"a switched-off site", std::nullopt, lines({{now - 1, "off.test"}}), {"off.test 1"}, {}},
        {"a scriptable browser in front: its tab is checked, three times",
         std::nullopt,
         lines({{now - 1, "a.test"}}),
         {"a.test 1"},
         {},
         [](Recorded& r) { r.scriptableFront = true; },
         3},
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
        EXPECT_EQ(r.tried, c.tried) << c.what;
        EXPECT_EQ(r.cards, c.cards) << c.what;
        EXPECT_EQ(r.frontChecks, c.frontChecks) << c.what;
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
    EXPECT_EQ(r.cards, (std::vector<std::string>{
                           "youtube.com youtube.com after 0", "bild.de bild.de after 0",
                           "youtube.com youtube.com after 0", "youtube.com youtube.com after 0"}));
    r.notice = false;  // the demonstration shows it all the same, for any name
    notices.blockedHit("off.test", true);
    EXPECT_EQ(r.cards.back(), "off.test off.test after 0");
}

TEST(BlockedSite, TheWatchFollowsTheFolderThroughReplacements) {
    test::ensureQtApp();
    test::TempFolder scratch;
    const fs::path root = scratch.path, folder = root / "Tarrow";
    int changes = 0, arms = 0;
    HitsWatch watch((folder / "hits").string(), [&] { ++changes; });
    const auto armed = [&] { ++arms; };
    auto hitIsSeen = [&] {
        const int before = changes;
        test::writeFile((folder / "hits.new").string(), "1 a.test\n");
        fs::rename(folder / "hits.new", folder / "hits");
        return test::waitUntil([&] { return changes > before; });
    };
    EXPECT_FALSE(watch.arm(armed));  // no folder yet: tried again on the next tick
    fs::create_directory(folder);
    EXPECT_TRUE(watch.arm(armed) && watch.arm(armed));
    EXPECT_EQ(arms, 1);
    EXPECT_TRUE(hitIsSeen());
    EXPECT_TRUE(hitIsSeen());
    fs::remove_all(folder);
    EXPECT_TRUE(test::waitUntil([&] { return !watch.armed(); }));
    fs::create_directory(folder);
    EXPECT_TRUE(watch.arm(armed));
    EXPECT_TRUE(hitIsSeen());
    fs::rename(folder, root / "old");  // moved away and replaced between two ticks
    fs::create_directory(folder);
    QApplication::processEvents();
    EXPECT_TRUE(watch.arm(armed));
    EXPECT_EQ(arms, 3);
    EXPECT_TRUE(hitIsSeen());
}

}  // namespace
}  // namespace tarrow
