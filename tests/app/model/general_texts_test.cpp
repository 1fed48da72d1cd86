#include "app/model/general_texts.h"

#include <gtest/gtest.h>

#include "app/model/browser_line.h"
#include "app/model/calendar.h"
#include "app/model/login_item.h"
#include "app/model/schedules_texts.h"

namespace tarrow {
namespace {

TEST(BrowserLine, OneSentencePerConsentGroupInFixedOrder) {
    using C = Consent;
    struct Case {
        std::vector<BrowserState> browsers;
        std::string line;
        ConsentButton button;
    };
    auto b = [](const char* name, Consent consent) { return BrowserState{name, name, consent}; };
    const Case cases[] = {
        {{}, "", ConsentButton::none},
        {{b("Safari", C::granted)}, "Safari: allowed.", ConsentButton::none},
        {{b("Arc", C::notRunning), b("Safari", C::granted), b("Chrome", C::granted)},
         "Safari and Chrome: allowed. Arc: asks when you open it.",
         ConsentButton::none},
        {{b("A", C::granted), b("B", C::granted), b("C", C::granted)},
         "A, B and C: allowed.",
         ConsentButton::none},
        {{b("Chrome", C::notAsked), b("Brave", C::denied)},
         "Chrome: not asked yet. Brave: not allowed \u2013 switch it on under Privacy & Security "
         "\u2192 Automation.",
         ConsentButton::openAutomationSettings},
        {{b("Chrome", C::notAsked), b("Arc", C::notRunning)},
         "Chrome: not asked yet. Arc: asks when you open it.",
         ConsentButton::allow},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(browserLine(c.browsers), c.line);
        EXPECT_EQ(consentButton(c.browsers), c.button) << c.line;
    }
}

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

TEST(SchedulesTexts, RowLinesFollowTheDescription) {
    const Calendar calendar("Europe/Berlin", "en_US");
    const ScheduleRowTexts texts =
        scheduleRowTexts(Schedule{"x", false, {2, 3, 4, 5, 6}, 540, 720}, calendar);
    EXPECT_EQ(texts.switchName, "Schedule Weekdays, 09:00\u201312:00");
    EXPECT_EQ(texts.startName, "Start, Weekdays, 09:00\u201312:00");
    EXPECT_EQ(texts.endName, "End, Weekdays, 09:00\u201312:00");
    EXPECT_EQ(texts.removeName, "Remove schedule Weekdays, 09:00\u201312:00");
    EXPECT_EQ(texts.offCaption, "Off \u2013 switch on to say tarrow on Weekdays, 09:00\u201312:00");
    EXPECT_EQ(scheduleRowTexts(Schedule{"x", true, {}, 0, 0}, calendar).offCaption,
              "Off \u2013 switch on to say tarrow on No days, all day");
    EXPECT_EQ(onlyWhileOpen(), "Schedules only run while Tarrow is open.");
}

// The login switch's log lines, and the state read back whatever the switch asked for.
TEST(LoginItem, SwitchingLogsAndReadsBack) {
    struct Case {
        bool on;
        Status result;
        bool readBack;
        std::vector<std::string> logged;
    };
    const Case cases[] = {
        {true, {}, true, {"start at login: on"}},
        {false, {}, false, {"start at login: off"}},
        {true,
         Status::failure("write", "/x/autostart/t.desktop", EACCES),
         false,
         {"start at login failed: cannot write /x/autostart/t.desktop: Permission denied"}},
        {false,
         Status::failure("remove", "/x/t.desktop", EROFS),
         true,
         {"start at login failed: cannot remove /x/t.desktop: Read-only file system"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> logged, asked;
        const LoginItem item{[&] { return c.readBack; },
                             [&](bool on) {
                                 asked.push_back(on ? "on" : "off");
                                 return c.result;
                             }};
        EXPECT_EQ(switchLogin(item, c.on, [&](std::string_view m) { logged.emplace_back(m); }),
                  c.readBack);
        EXPECT_EQ(logged, c.logged);
        EXPECT_EQ(asked, std::vector<std::string>{c.on ? "on" : "off"});
    }
}

// Started by a user service: a login item that is on goes, so the app starts once.
TEST(LoginItem, DroppedWhenAServiceStartsTheApp) {
    struct Case {
        bool enabled;
        Status result;
        std::vector<std::string> logged;
        int switchedOff;
    };
    const Case cases[] = {
        {false, {}, {}, 0},
        {true, {}, {"login item removed, the systemd user unit tarrow.service starts Tarrow"}, 1},
        {true,
         Status::failure("remove", "/x/t.desktop", EACCES),
         {"could not remove the login item: cannot remove /x/t.desktop: Permission denied"},
         1},
    };
    for (const Case& c : cases) {
        std::vector<std::string> logged;
        int off = 0;
        const LoginItem item{[&] { return c.enabled; },
                             [&](bool on) {
                                 off += on ? 0 : 1;
                                 return c.result;
                             }};
        dropLoginItemForAgent(item, agentName("tarrow.service", Wording::computer),
                              [&](std::string_view m) { logged.emplace_back(m); });
        EXPECT_EQ(logged, c.logged);
        EXPECT_EQ(off, c.switchedOff);
    }
}

}  // namespace
}  // namespace tarrow
