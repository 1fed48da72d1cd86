// What a hit leads to: the front tab checked, the card shown, once a minute per site.

#include "app/browser/hit_notices.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

// The hits machinery with a temporary hits file and recorded effects.
class Hits : public ::testing::Test {
  protected:
    void SetUp() override {
        HitNeeds n;
        n.now = [this] { return clock; };
        n.notice = [this] { return notice; };
        n.frontTabPath = [this] { return scriptableFront; };
        n.checkFrontTab = [this] { ++frontChecks; };
        n.later = [](std::chrono::milliseconds, std::function<void()> job) { job(); };
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
        test::writeFile(file + ".new", text);
        std::filesystem::rename(file + ".new", file);
    }
    std::string line(int age, const std::string& host) {
        const auto seconds = std::chrono::floor<std::chrono::seconds>(clock).time_since_epoch();
        return std::to_string((seconds - std::chrono::seconds(age)).count()) + " " + host + "\n";
    }

    test::TempFolder dir;
    std::string file = dir / "hits";
    std::chrono::system_clock::time_point clock{std::chrono::seconds(1700000000)};
    bool notice = true, scriptableFront = false, browserFront = true;
    int frontChecks = 0;
    std::vector<std::string> cards;
    std::optional<HitNotices> notices;
};

TEST_F(Hits, WhatAHitLeadsTo) {
    struct Case {
        const char* what;
        std::string host;
        int age;
        bool notice, scriptable, browser;
        const char* card;  // null: none
    };
    const Case cases[] = {
        {"browser in front", "www.youtube.com", 5, true, false, true,
         "youtube.com www.youtube.com"},
        {"old hit", "youtube.com", 25, true, false, true, nullptr},
        {"notice off", "youtube.com", 1, false, false, true, nullptr},
        {"editor in front", "youtube.com", 1, true, false, false, nullptr},
        {"switched-off site", "news.test", 1, true, false, true, nullptr},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(file);
        SetUp();
        cards.clear();
        frontChecks = 0;
        notice = c.notice;
        scriptableFront = c.scriptable;
        browserFront = c.browser;
        notices->armed(file);
        write(line(c.age, c.host));
        notices->takeHits(file);
        EXPECT_EQ(cards, c.card ? std::vector<std::string>{c.card} : std::vector<std::string>{})
            << c.what;
        EXPECT_EQ(frontChecks, 0) << c.what;
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
