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
         startedByTip("tarrow.service", Desktop::mac),
         startedByTip("tarrow.service", Desktop::other)},
        {"LaunchAgent", "systemd user unit tarrow.service", agentName("x", Desktop::mac),
         agentName("tarrow.service", Desktop::other)},
        {"The tab gets Tarrow\u2019s page instead of a connection error, also a tab that was "
         "open already. Other apps get a card in the middle of the screen. macOS asks once per "
         "browser.",
         "Chromium, Chrome, Brave, Edge and Vivaldi show Tarrow\u2019s page instead of a "
         "connection error, also in a tab that was open already, after their next start. Other "
         "browsers get a card in the middle of the screen.",
         noticeExplanation(Desktop::mac), noticeExplanation(Desktop::other)},
        {"Sites lists the sites you visit most, read from the browsers on this Mac when you "
         "open it. Mail, logins, work tools and search engines are left out. Nothing is stored "
         "or sent.",
         "Sites lists the sites you visit most, read from the browsers on this computer when you "
         "open it. Mail, logins, work tools and search engines are left out. Nothing is stored "
         "or sent.",
         suggestExplanation(Desktop::mac), suggestExplanation(Desktop::other)},
        {"Quitting Tarrow unblocks every site. Tarrow blocks through your Mac\u2019s hosts file, "
         "so every browser follows the same list. It counts how often you try a blocked site, "
         "per day, and keeps the counts for 90 days. No account, no cloud, nothing about you "
         "leaves this Mac.",
         "Quitting Tarrow unblocks every site. Tarrow blocks through this computer\u2019s hosts "
         "file, so every browser follows the same list. It counts how often you try a blocked "
         "site, per day, and keeps the counts for 90 days. No account, no cloud, nothing about "
         "you leaves this computer.",
         privacyParagraph(Desktop::mac), privacyParagraph(Desktop::other)},
        {"Tarrow lives in your menu bar", "Tarrow lives in the panel",
         welcomeHeadline(Desktop::mac), welcomeHeadline(Desktop::other)},
        {"You find Tarrow at the top right of your screen. Switch it on there, or let a schedule "
         "do it.",
         "You find Tarrow in the panel, among the status icons. Switch it on there, or let a "
         "schedule do it.",
         welcomeWhere(Desktop::mac), welcomeWhere(Desktop::other)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.got_mac, c.mac);
        EXPECT_EQ(c.got_computer, c.computer);
    }
    // Without a tray the window says where else Tarrow is.
    EXPECT_EQ(welcomeHeadline(Desktop::other, false), "Tarrow runs in the background");
    EXPECT_EQ(welcomeWhere(Desktop::other, false),
              "You find Tarrow in the applications menu: starting it there opens its settings. "
              "Switch it on there, or let a schedule do it.");
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
