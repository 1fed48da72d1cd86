#include "app/model/machine_texts.h"

#include <gtest/gtest.h>

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
        {machine::historyNote,
         {},
         "From this Mac’s browsing history. Read when Sites opens, not stored, not sent.",
         "From this computer’s browsing history. Read when Sites opens, not stored, not sent."},
        {machine::neverBlocks,
         {{"product", "Tarrow"}, {"domain", "apple.com"}},
         "Tarrow never blocks apple.com: your Mac needs it for updates, iCloud or the local "
         "network.",
         "Tarrow never blocks apple.com: this computer needs it for updates, iCloud or the "
         "local network."},
        {machine::stuckHelp,
         {},
         "Blocking isn’t working right now. Repair sets the helper up again. If “tarrow-helper” "
         "is switched off under System Settings → General → Login Items, switch it on there.",
         "Blocking isn’t working right now. Repair sets the helper up again and restarts its "
         "service."},
        {machine::noticeNote,
         {{"product", "Tarrow"}},
         "The tab gets Tarrow’s page instead of a connection error, also a tab that was open "
         "already. Other apps get a card in the middle of the screen. macOS asks once per "
         "browser.",
         "The tab gets Tarrow’s page instead of a connection error, also a tab that was open "
         "already. Other apps get a card in the middle of the screen."},
        {machine::suggestNote,
         {},
         "Sites lists the sites you visit most, read from the browsers on this Mac when you open "
         "it. Mail, logins, work tools and search engines are left out. Nothing is stored or "
         "sent.",
         "Sites lists the sites you visit most, read from the browsers on this computer when you "
         "open it. Mail, logins, work tools and search engines are left out. Nothing is stored "
         "or sent."},
        {machine::quittingNote,
         {{"product", "Tarrow"}},
         "Quitting Tarrow unblocks every site. Tarrow blocks through your Mac’s hosts file, so "
         "every browser follows the same list. It counts how often you try a blocked site, per "
         "day, and keeps the counts for 90 days. No account, no cloud, nothing about you leaves "
         "this Mac.",
         "Quitting Tarrow unblocks every site. Tarrow blocks through this computer’s hosts file, "
         "so every browser follows the same list. It counts how often you try a blocked site, "
         "per day, and keeps the counts for 90 days. No account, no cloud, nothing about you "
         "leaves this computer."},
        {machine::welcomeTitle,
         {{"product", "Tarrow"}},
         "Tarrow lives in your menu bar",
         "Tarrow lives in your panel"},
    };
    ASSERT_EQ(std::size(cases), std::size(machine::all)) << "every entry is checked";
    for (const Case& c : cases) {
        EXPECT_EQ(machineText(c.text, c.fills, Desktop::mac), c.mac);
        EXPECT_EQ(machineText(c.text, c.fills, Desktop::other), c.other);
    }
}

TEST(MachineTexts, TheOtherVariantNamesNothingOfTheMac) {
    for (const MachineText* text : machine::all) {
        for (const char* word : {"Mac", "menu bar", "System Settings", "Login Items"}) {
            EXPECT_EQ(text->other.find(word), std::string_view::npos) << text->other;
        }
        EXPECT_NE(text->mac, text->other);
    }
}

TEST(MachineTexts, ThisBuildsVariant) {
#ifdef __APPLE__
    EXPECT_EQ(machineText(machine::welcomeTitle, {{"product", "Tarrow"}}),
              "Tarrow lives in your menu bar");
#else
    EXPECT_EQ(machineText(machine::welcomeTitle, {{"product", "Tarrow"}}),
              "Tarrow lives in your panel");
#endif
}

}  // namespace
}  // namespace tarrow
