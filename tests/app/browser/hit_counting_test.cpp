// Every new hits line is counted as an attempt, not only the newest one the card acts
// on, and before the card shows, so the card can say which try it is.

#include <gtest/gtest.h>

#include "app/browser/hit_notices.h"
#include "app/browser/hits.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

using std::chrono::seconds;

constexpr int64_t now = 1700000000;

std::string lines(const std::vector<std::pair<int64_t, const char*>>& hits) {
    std::string text;
    for (const auto& [at, host] : hits) text += std::to_string(at) + " " + host + "\n";
    return text;
}

TEST(HitCounting, EveryNewLineIsTriedOnceAtItsOwnTime) {
    struct Case {
        const char* what;
        std::optional<std::string> atArming;  // the file when the watch is armed
        std::string next;                     // the file at the next takeHits
        std::vector<std::string> tried;       // "host seconds-before-now"
        std::vector<std::string> cards;
        bool notice = true;
    };
    const Case cases[] = {
        {"lines from before the start are not counted; a burst is, oldest first",
         lines({{now - 50, "old.test"}}),
         lines({{now - 50, "old.test"},
                {now - 2, "a.test"},
                {now - 1, "www.a.test"},
                {now, "b.test"}}),
         {"a.test 2", "www.a.test 1", "b.test 0"},
         {"b.test after 3 tried"}},
        {"a file that was empty when armed: all of it is new",
         std::nullopt,
         lines({{now - 3, "a.test"}, {now - 1, "b.test"}}),
         {"a.test 3", "b.test 1"},
         {"b.test after 2 tried"}},
        {"the seen line was pushed out: those from its second on",
         lines({{now - 10, "old.test"}}),
         lines({{now - 11, "older.test"}, {now - 10, "same.test"}, {now - 4, "a.test"}}),
         {"same.test 10", "a.test 4"},
         {"a.test after 2 tried"}},
        {"with the card switched off too",
         std::nullopt,
         lines({{now - 1, "a.test"}}),
         {"a.test 1"},
         {},
         false},
        {"a line from the future counts now; one older than 90 days and bad seconds do not",
         std::nullopt,
         lines({{now - 91 * 86400, "stale.test"}, {now + 3600, "future.test"}}) + "12x4 bad.test\n",
         {"future.test 0"},
         {}},
        {"a file that is not UTF-8 counts as empty",
         std::nullopt,
         "\xFF\xFE garbage\n" + lines({{now - 1, "a.test"}}),
         {},
         {}},
    };
    for (const Case& c : cases) {
        test::TempFolder dir;
        const std::string file = dir / "hits";
        std::vector<std::string> tried, cards;
        HitNeeds n;
        n.now = [] { return std::chrono::system_clock::time_point(seconds(now)); };
        n.notice = [&c] { return c.notice; };
        n.frontTabPath = [] { return false; };
        n.checkFrontTab = [] {};
        n.later = [](std::chrono::milliseconds, std::function<void()>) {};
        n.siteFor = [](const std::string& host) { return std::optional<std::string>(host); };
        n.browserInFront = [] { return true; };
        n.showCard = [&](const std::string& domain, const std::string&) {
            cards.push_back(domain + " after " + std::to_string(tried.size()) + " tried");
        };
        n.tried = [&tried](const std::string& host, std::chrono::sys_seconds at) {
            tried.push_back(host + " " + std::to_string(now - at.time_since_epoch().count()));
        };
        HitNotices notices(n);
        if (c.atArming) test::writeFile(file, *c.atArming);
        notices.armed(file);
        test::writeFile(file, c.next);
        notices.takeHits(file);
        notices.takeHits(file);  // nothing new the second time
        EXPECT_EQ(tried, c.tried) << c.what;
        EXPECT_EQ(cards, c.cards) << c.what;
    }
}

}  // namespace
}  // namespace tarrow
