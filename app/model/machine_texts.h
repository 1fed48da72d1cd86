#pragma once
// The texts of the block page, the card and the About box that name the machine or the
// place of the app's icon, in both variants. The settings views' texts choose theirs in
// general_texts, sites_texts and setup_texts, from the same `Desktop`.

#include <string>
#include <string_view>

#include "common/machine_text.h"

namespace tarrow {

namespace machine {

// The block page of the app's page server (HTML).
inline constexpr MachineText pageHow{
    "To open it anyway, click the <b>{letter}</b> in your menu bar and choose <b>Okay, "
    "Now</b>.",
    "To open it anyway, click the <b>{letter}</b> in your panel and choose <b>Okay, Now</b>."};
inline constexpr MachineText pageFooter{
    "You asked Tarrow to keep this site closed on this Mac. This page comes from Tarrow on "
    "your Mac, not from the internet.",
    "You asked Tarrow to keep this site closed on this computer. This page comes from Tarrow "
    "on this computer, not from the internet."};
inline constexpr MachineText pageScriptNote{
    "// Once Okay, Now was chosen in the menu bar: say so, and offer the way back.",
    "// Once Okay, Now was chosen in the panel: say so, and offer the way back."};

// The notice card: the sentence under the line, and what a screen reader says instead.
inline constexpr MachineText cardHow{
    "To open it anyway, choose Okay, Now under the {letter} in the menu bar.",
    "To open it anyway, choose Okay, Now under the {letter} in the panel."};
inline constexpr MachineText cardHowSpoken{"To open it anyway, choose Okay, Now in the menu bar.",
                                           "To open it anyway, choose Okay, Now in the panel."};

// Without a tray there is no letter in the panel to click: the same menu is a button in
// the settings window, which the applications menu opens. The menu bar is always there, so
// the Mac has no such variant.
struct NoTrayText {
    const MachineText& tray;
    std::string_view noTray;
};
inline constexpr NoTrayText pageHowNoTray{
    pageHow,
    "To open it anyway, open <b>Tarrow</b> from the applications menu and choose <b>Okay, "
    "Now</b> in its window\u2019s menu."};
inline constexpr NoTrayText cardHowNoTray{
    cardHow,
    "To open it anyway, open Tarrow from the applications menu and choose Okay, Now in its "
    "window\u2019s menu."};
inline constexpr NoTrayText cardHowSpokenNoTray{cardHowSpoken, cardHowNoTray.noTray};

// The About box, after the credits.
inline constexpr MachineText about{
    "Blocks sites through your Mac\u2019s hosts file, in every browser at once. Apple "
    "frameworks only. No account, no cloud, nothing about you leaves this Mac.",
    "Blocks sites through this computer\u2019s hosts file, in every browser at once. No "
    "account, no cloud, nothing about you leaves this computer."};

// Every entry above, for the checks that cover them all.
inline constexpr const MachineText* all[] = {&pageHow, &pageFooter,    &pageScriptNote,
                                             &cardHow, &cardHowSpoken, &about};

}  // namespace machine

// `text` as it reads with a tray found or without one.
inline std::string machineText(const machine::NoTrayText& text, bool tray, TextFills fills = {},
                               Desktop desktop = thisDesktop) {
    if (tray || desktop == Desktop::mac) return machineText(text.tray, fills, desktop);
    return std::string(text.noTray);
}

}  // namespace tarrow
