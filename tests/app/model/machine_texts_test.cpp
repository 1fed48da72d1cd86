#include "app/model/machine_texts.h"

#include <gtest/gtest.h>

#include "app/model/general_texts.h"
#include "app/model/setup_texts.h"
#include "app/model/sites_texts.h"
#include "common/block_page.h"

namespace tarrow {
namespace {

// Without a tray the way to "Okay, Now" is the window's menu; with one the tray's text stands.
TEST(MachineTexts, WithoutATrayTheWindowsMenu) {
    for (const machine::NoTrayText* text :
         {&machine::pageHowNoTray, &machine::cardHowNoTray, &machine::cardHowSpokenNoTray}) {
        const std::string noTray = machineText(*text, false, {{"letter", "t"}}, Desktop::other);
        EXPECT_NE(noTray.find("window’s menu"), std::string::npos) << noTray;
        EXPECT_EQ(machineText(*text, true, {{"letter", "t"}}, Desktop::other),
                  machineText(text->tray, {{"letter", "t"}}, Desktop::other));
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
