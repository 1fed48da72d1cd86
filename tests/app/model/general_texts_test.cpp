#include "app/model/general_texts.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

// The texts that name the Mac, in both wordings; the one in use is chosen at build time.
TEST(GeneralTexts, MacAndComputerWordings) {
    struct Case {
        std::string mac, computer, got_mac, got_computer;
    };
    const Case cases[] = {
        {"Started by the LaunchAgent de.brightloom.tarrow.",
         "Started by the systemd user unit tarrow.service.",
         startedByTip("tarrow.service", Wording::mac),
         startedByTip("tarrow.service", Wording::computer)},
        {"LaunchAgent", "systemd user unit tarrow.service", agentName("x", Wording::mac),
         agentName("tarrow.service", Wording::computer)},
        {"The tab gets Tarrow\u2019s page instead of a connection error, also a tab that was "
         "open already. Other apps get a card in the middle of the screen. macOS asks once per "
         "browser.",
         "A card in the middle of the screen names the blocked site and says until when, instead "
         "of a bare connection error in the browser.",
         noticeExplanation(Wording::mac), noticeExplanation(Wording::computer)},
        {"Sites lists the sites you visit most, read from the browsers on this Mac when you "
         "open it. Mail, logins, work tools and search engines are left out. Nothing is stored "
         "or sent.",
         "Sites lists the sites you visit most, read from the browsers on this computer when you "
         "open it. Mail, logins, work tools and search engines are left out. Nothing is stored "
         "or sent.",
         suggestExplanation(Wording::mac), suggestExplanation(Wording::computer)},
        {"Quitting Tarrow unblocks every site. Tarrow blocks through your Mac\u2019s hosts file, "
         "so every browser follows the same list. It counts how often you try a blocked site, "
         "per day, and keeps the counts for 90 days. No account, no cloud, nothing about you "
         "leaves this Mac.",
         "Quitting Tarrow unblocks every site. Tarrow blocks through this computer\u2019s hosts "
         "file, so every browser follows the same list. It counts how often you try a blocked "
         "site, per day, and keeps the counts for 90 days. No account, no cloud, nothing about "
         "you leaves this computer.",
         privacyParagraph(Wording::mac), privacyParagraph(Wording::computer)},
        {"Tarrow lives in your menu bar", "Tarrow lives in the panel",
         welcomeHeadline(Wording::mac), welcomeHeadline(Wording::computer)},
        {"You find Tarrow at the top right of your screen. Switch it on there, or let a schedule "
         "do it.",
         "You find Tarrow in the panel, among the status icons. Switch it on there, or let a "
         "schedule do it.",
         welcomeWhere(Wording::mac), welcomeWhere(Wording::computer)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.got_mac, c.mac);
        EXPECT_EQ(c.got_computer, c.computer);
    }
    EXPECT_EQ(loginTitle(), "Start Tarrow at login");
    EXPECT_EQ(noticeTitle(), "Show Tarrow\u2019s page when a blocked site is opened");
    EXPECT_EQ(versionLine("1.0.0"), "Tarrow 1.0.0");
    EXPECT_EQ(aboutTitle(), "About Tarrow");
    EXPECT_EQ(welcomeBody(),
              "To block sites in every browser, Tarrow needs your password once. After that it "
              "never asks again.");
}

}  // namespace
}  // namespace tarrow
