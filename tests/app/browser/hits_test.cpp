#include <gtest/gtest.h>

#include "app/browser/hit_notices.h"
#include "app/browser/hits.h"
#include "tests/controller/scratch.h"

namespace tarrow {
namespace {

TEST(HitLines, KeepsWellFormedLinesInOrder) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"1700000000 youtube.com\n1700000001 www.youtube.com\n",
         {"1700000000 youtube.com", "1700000001 www.youtube.com"}},
        {"1 a\n\n\n2 b", {"1 a", "2 b"}},             // empty lines, no final LF
        {"1  a \n", {"1  a "}},                       // runs of spaces: still two pieces
        {"1 a b\nonlyone\n \n1\ta\n3 c\n", {"3 c"}},  // three pieces, one, none, a tab
        {"1 a\r\n", {"1 a\r"}},                       // CR stays part of the host
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(hitLines(c.text), c.lines) << c.text;
}

TEST(FreshHost, ActsOnlyOnYoungLinesWithNumericSeconds) {
    using namespace std::chrono_literals;
    const std::chrono::system_clock::time_point now(1700000100s + 500ms);
    struct Case {
        std::string line;
        std::optional<std::string> host;
    };
    const Case cases[] = {
        {"1700000095 youtube.com", "youtube.com"},  // 5.5 s old
        {"1700000081 youtube.com", "youtube.com"},  // 19.5 s
        {"1700000080 youtube.com", std::nullopt},   // 20.5 s
        {"1700000075 youtube.com", std::nullopt},   // 25.5 s
        {"1800000000 youtube.com", "youtube.com"},  // from the future
        {"17000000x0 youtube.com", std::nullopt},
        {"-5 youtube.com", std::nullopt},
        {"+1700000095 youtube.com", std::nullopt},
        {"1.7e9 youtube.com", std::nullopt},
        {"99999999999999999999999 youtube.com", std::nullopt},  // out of range
        {"youtube.com 1700000095", std::nullopt},
        {"1700000095", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(freshHost(c.line, now), c.host) << c.line;
}

TEST(TakeNewest, OnlyTheNewestNewLineOnce) {
    std::optional<std::string> seen;
    EXPECT_EQ(takeNewest({}, seen), std::nullopt);
    EXPECT_EQ(takeNewest({"1 a", "2 b", "3 c"}, seen), "3 c");
    EXPECT_EQ(takeNewest({"1 a", "2 b", "3 c"}, seen), std::nullopt);
    EXPECT_EQ(takeNewest({"1 a", "2 b", "3 c", "4 d", "5 e"}, seen), "5 e");  // a burst
    EXPECT_EQ(takeNewest({"9 z"}, seen), "9 z");  // the helper began a new file
    EXPECT_EQ(seen, "9 z");
}

// The hits machinery with a temporary hits file and recorded effects.
class Hits : public ::testing::Test {
  protected:
    void SetUp() override {
        HitNeeds n;
        n.now = [this] { return clock; };
        n.notice = [this] { return notice; };
        n.frontTabPath = [this] { return scriptableFront; };
        n.checkFrontTab = [this] { ++frontChecks; };
        n.later = [this](std::chrono::milliseconds delay, std::function<void()> job) {
            delays.push_back(delay);
            job();
        };
        n.siteFor = [](const std::string& host) -> std::optional<std::string> {
            if (host == "youtube.com" || host == "www.youtube.com") return "youtube.com";
            if (host == "bild.de") return "bild.de";
            return std::nullopt;  // news.test is configured but switched off
        };
        n.browserInFront = [this] { return browserFront; };
        n.showCard = [this](const std::string& domain, const std::string& host) {
            cards.push_back(domain + " " + host);
        };
        notices.emplace(n);
    }
    void write(const std::string& text) {
        testing::writeFile(file + ".new", text);
        std::filesystem::rename(file + ".new", file);
    }
    std::string line(int age, const std::string& host) {
        const auto seconds = std::chrono::floor<std::chrono::seconds>(clock).time_since_epoch();
        return std::to_string((seconds - std::chrono::seconds(age)).count()) + " " + host + "\n";
    }

    testing::Scratch dir;
    std::string file = dir.file("hits");
    std::chrono::system_clock::time_point clock{std::chrono::seconds(1700000000)};
    bool notice = true, scriptableFront = false, browserFront = true;
    int frontChecks = 0;
    std::vector<std::chrono::milliseconds> delays;
    std::vector<std::string> cards;
    std::optional<HitNotices> notices;
};

TEST_F(Hits, LinesFromBeforeTheStartAreNeverActedOn) {
    write(line(1, "youtube.com"));
    notices->armed(file);
    notices->takeHits(file);
    EXPECT_TRUE(cards.empty());
    write(line(1, "youtube.com") + line(0, "bild.de"));
    notices->takeHits(file);
    EXPECT_EQ(cards, std::vector<std::string>{"bild.de bild.de"});
}

TEST_F(Hits, MissingOrBrokenFileCountsAsEmpty) {
    notices->armed(file);  // no file yet
    EXPECT_EQ(notices->seen(), "");
    write("\xFF\xFE garbage\n");
    notices->takeHits(file);
    write("not-a-number youtube.com\nfoo\n1 2 3\n");
    notices->takeHits(file);
    EXPECT_TRUE(cards.empty());
    write(line(2, "youtube.com"));
    notices->takeHits(file);
    EXPECT_EQ(cards, std::vector<std::string>{"youtube.com youtube.com"});
}

TEST_F(Hits, ABurstLeadsToOneReactionForTheNewestLine) {
    notices->armed(file);
    write(line(3, "bild.de") + line(2, "www.youtube.com") + line(1, "youtube.com"));
    notices->takeHits(file);
    notices->takeHits(file);  // the same file again: nothing new
    EXPECT_EQ(cards, std::vector<std::string>{"youtube.com youtube.com"});
}

TEST_F(Hits, WhatAHitLeadsTo) {
    struct Case {
        const char* what;
        std::string host;
        int age;
        bool notice, scriptable, browser;
        std::vector<std::string> cards;
        int frontChecks;
    };
    const Case cases[] = {
        {"browser in front",
         "www.youtube.com",
         5,
         true,
         false,
         true,
         {"youtube.com www.youtube.com"},
         0},
        {"old hit", "youtube.com", 25, true, false, true, {}, 0},
        {"notice off", "youtube.com", 1, false, false, true, {}, 0},
        {"editor in front", "youtube.com", 1, true, false, false, {}, 0},
        {"scriptable browser", "youtube.com", 1, true, true, true, {}, 3},
        {"switched-off site", "news.test", 1, true, false, true, {}, 0},
        {"unknown host", "example.org", 1, true, false, true, {}, 0},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(file);
        SetUp();
        cards.clear();
        delays.clear();
        frontChecks = 0;
        notice = c.notice;
        scriptableFront = c.scriptable;
        browserFront = c.browser;
        notices->armed(file);
        write(line(c.age, c.host));
        notices->takeHits(file);
        EXPECT_EQ(cards, c.cards) << c.what;
        EXPECT_EQ(frontChecks, c.frontChecks) << c.what;
        if (c.frontChecks) {
            EXPECT_EQ(delays, (std::vector<std::chrono::milliseconds>{
                                  std::chrono::milliseconds(300), std::chrono::seconds(1)}));
        }
    }
}

TEST_F(Hits, OneCardPerSiteAMinute) {
    notices->blockedHit("youtube.com", false);
    clock += std::chrono::seconds(30);
    notices->blockedHit("www.youtube.com", false);  // same site
    notices->blockedHit("bild.de", false);          // another site
    clock += std::chrono::seconds(31);
    notices->blockedHit("youtube.com", false);
    EXPECT_EQ(cards, (std::vector<std::string>{"youtube.com youtube.com", "bild.de bild.de",
                                               "youtube.com youtube.com"}));
    clock -= std::chrono::hours(1);  // the clock was set back: no hour-long silence
    notices->blockedHit("youtube.com", false);
    EXPECT_EQ(cards.size(), 4u);
}

TEST_F(Hits, TheDemonstrationAlwaysShowsTheCard) {
    notice = false;
    scriptableFront = true;
    browserFront = false;
    notices->blockedHit("youtube.com", true);
    notices->blockedHit("youtube.com", true);  // no pause for the demonstration
    notices->blockedHit("example.org", true);  // no configured site: its own domain
    EXPECT_EQ(cards, (std::vector<std::string>{"youtube.com youtube.com", "youtube.com youtube.com",
                                               "example.org example.org"}));
    EXPECT_EQ(frontChecks, 0);
}

}  // namespace
}  // namespace tarrow
