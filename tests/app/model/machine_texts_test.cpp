#include "app/model/machine_texts.h"

#include <gtest/gtest.h>

#include "app/model/general_texts.h"
#include "app/model/setup_texts.h"
#include "app/model/sites_texts.h"
#include "common/block_page.h"

namespace tarrow {
namespace {

TEST(MachineTexts, BothVariantsWordForWord) {
    struct Case {
        const MachineText& text;
        TextFills fills;
        const char* mac;
        const char* other;
    };
    const Case cases[] = {
        {machine::pageHow,
         {{"letter", "t"}},
         "To open it anyway, click the <b>t</b> in your menu bar and choose <b>Okay, Now</b>.",
         "To open it anyway, click the <b>t</b> in your panel and choose <b>Okay, Now</b>."},
        {machine::pageFooter,
         {},
         "You asked Tarrow to keep this site closed on this Mac. This page comes from Tarrow on "
         "your Mac, not from the internet.",
         "You asked Tarrow to keep this site closed on this computer. This page comes from "
         "Tarrow on this computer, not from the internet."},
        {machine::pageScriptNote,
         {},
         "// Once Okay, Now was chosen in the menu bar: say so, and offer the way back.",
         "// Once Okay, Now was chosen in the panel: say so, and offer the way back."},
        {machine::cardHow,
         {{"letter", "t"}},
         "To open it anyway, choose Okay, Now under the t in the menu bar.",
         "To open it anyway, choose Okay, Now under the t in the panel."},
        {machine::cardHowSpoken,
         {},
         "To open it anyway, choose Okay, Now in the menu bar.",
         "To open it anyway, choose Okay, Now in the panel."},
        {machine::about,
         {},
         "Blocks sites through your Mac’s hosts file, in every browser at once. Apple frameworks "
         "only. No account, no cloud, nothing about you leaves this Mac.",
         "Blocks sites through this computer’s hosts file, in every browser at once. No "
         "account, no cloud, nothing about you leaves this computer."},
    };
    ASSERT_EQ(std::size(cases), std::size(machine::all)) << "every entry is checked";
    for (const Case& c : cases) {
        EXPECT_EQ(machineText(c.text, c.fills, Desktop::mac), c.mac);
        EXPECT_EQ(machineText(c.text, c.fills, Desktop::other), c.other);
    }
}

// Without a tray the way to "Okay, Now" is the window's menu; with one, and always on the
// Mac, the texts above stand.
TEST(MachineTexts, WithoutATrayTheWindowsMenu) {
    const std::pair<const machine::NoTrayText&, const char*> cases[] = {
        {machine::pageHowNoTray,
         "To open it anyway, open <b>Tarrow</b> from the applications menu and choose <b>Okay, "
         "Now</b> in its window’s menu."},
        {machine::cardHowNoTray,
         "To open it anyway, open Tarrow from the applications menu and choose Okay, Now in its "
         "window’s menu."},
        {machine::cardHowSpokenNoTray,
         "To open it anyway, open Tarrow from the applications menu and choose Okay, Now in its "
         "window’s menu."},
    };
    for (const auto& [text, noTray] : cases) {
        EXPECT_EQ(machineText(text, false, {{"letter", "t"}}, Desktop::other), noTray);
        for (Desktop d : {Desktop::mac, Desktop::other}) {
            EXPECT_EQ(machineText(text, true, {{"letter", "t"}}, d),
                      machineText(text.tray, {{"letter", "t"}}, d));
        }
        EXPECT_EQ(machineText(text, false, {}, Desktop::mac),
                  machineText(text.tray, {}, Desktop::mac));
    }
}

// Every text of the other desktops' variant, read for words that only make sense on the
// Mac (Safari is looked for too: the browsers named here are others).
TEST(MachineTexts, OtherDesktopsMeetNoAppleWords) {
    const Desktop d = Desktop::other;
    const std::vector<std::string> browsers{"Firefox", "Chromium"};
    std::vector<std::string> texts{startedByTip("tarrow.service", d),
                                   agentName("tarrow.service", d),
                                   noticeExplanation(d),
                                   suggestExplanation(d),
                                   privacyParagraph(d),
                                   welcomeHeadline(d),
                                   welcomeWhere(d),
                                   historyFootnote(d),
                                   neverBlocks("example.com", d),
                                   lockedInsteadOfList(browsers, d).text,
                                   lockedUnderList(browsers, d).text,
                                   lockedUnderList({"Firefox"}, d).text};
    for (Helper h : {Helper::missing, Helper::outdated, Helper::stuck, Helper::working})
        texts.push_back(helperText(h, d));
    for (const MachineText* text : machine::all) texts.push_back(machineText(*text, {}, d));
    for (const MachineText* text : {&machine::helperPageWhy, &machine::helperPageHow})
        texts.push_back(machineText(*text, {}, d));
    for (const std::string& text : texts) {
        for (const char* word : {"Mac", "macOS", "iCloud", "Apple", "Finder", "System Settings",
                                 "Dock", "Safari", "menu bar", "Full Disk Access"}) {
            EXPECT_EQ(text.find(word), std::string::npos) << word << " in: " << text;
        }
    }
}

}  // namespace
}  // namespace tarrow
