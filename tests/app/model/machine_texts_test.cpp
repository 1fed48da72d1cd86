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
    };
    ASSERT_EQ(std::size(cases), std::size(machine::all)) << "every entry is checked";
    for (const Case& c : cases) {
        EXPECT_EQ(machineText(c.text, c.fills, Desktop::mac), c.mac);
        EXPECT_EQ(machineText(c.text, c.fills, Desktop::other), c.other);
    }
}

}  // namespace
}  // namespace tarrow
