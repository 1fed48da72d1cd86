#pragma once
// Every user-visible text that names the machine, the place of the app's icon or the
// system's settings, in one table. The macOS variant keeps its original words; other
// desktops say "this computer" for the Mac and "the panel" for the menu bar. The variant
// is chosen when the program is built; both are kept as text and tested.

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

// The About box, after the credits.
inline constexpr MachineText about{
    "Blocks sites through your Mac\u2019s hosts file, in every browser at once. Apple "
    "frameworks only. No account, no cloud, nothing about you leaves this Mac.",
    "Blocks sites through this computer\u2019s hosts file, in every browser at once. No "
    "account, no cloud, nothing about you leaves this computer."};

// The Sites tab: under the suggestions, and a protected name typed in.
inline constexpr MachineText historyNote{
    "From this Mac\u2019s browsing history. Read when Sites opens, not stored, not sent.",
    "From this computer\u2019s browsing history. Read when Sites opens, not stored, not sent."};
inline constexpr MachineText neverBlocks{
    "{product} never blocks {domain}: your Mac needs it for updates, iCloud or the local "
    "network.",
    "{product} never blocks {domain}: this computer needs it for updates, iCloud or the local "
    "network."};

// The General tab and the set-up box.
inline constexpr MachineText stuckHelp{
    "Blocking isn\u2019t working right now. Repair sets the helper up again. If "
    "\u201ctarrow-helper\u201d is switched off under System Settings \u2192 General \u2192 Login "
    "Items, switch it on there.",
    "Blocking isn\u2019t working right now. Repair sets the helper up again and restarts its "
    "service."};
inline constexpr MachineText noticeNote{
    "The tab gets {product}\u2019s page instead of a connection error, also a tab that was open "
    "already. Other apps get a card in the middle of the screen. macOS asks once per browser.",
    "The tab gets {product}\u2019s page instead of a connection error, also a tab that was open "
    "already. Other apps get a card in the middle of the screen."};
inline constexpr MachineText suggestNote{
    "Sites lists the sites you visit most, read from the browsers on this Mac when you open "
    "it. Mail, logins, work tools and search engines are left out. Nothing is stored or sent.",
    "Sites lists the sites you visit most, read from the browsers on this computer when you "
    "open it. Mail, logins, work tools and search engines are left out. Nothing is stored or "
    "sent."};
inline constexpr MachineText quittingNote{
    "Quitting {product} unblocks every site. {product} blocks through your Mac\u2019s hosts "
    "file, so every browser follows the same list. It counts how often you try a blocked site, "
    "per day, and keeps the counts for 90 days. No account, no cloud, nothing about you "
    "leaves this Mac.",
    "Quitting {product} unblocks every site. {product} blocks through this computer\u2019s "
    "hosts file, so every browser follows the same list. It counts how often you try a blocked "
    "site, per day, and keeps the counts for 90 days. No account, no cloud, nothing about "
    "you leaves this computer."};

// The welcome window's title.
inline constexpr MachineText welcomeTitle{"{product} lives in your menu bar",
                                          "{product} lives in your panel"};

// Every entry above, for the checks that cover them all.
inline constexpr const MachineText* all[] = {
    &pageHow,     &pageFooter,   &pageScriptNote, &cardHow,   &cardHowSpoken,
    &about,       &historyNote,  &neverBlocks,    &stuckHelp, &noticeNote,
    &suggestNote, &quittingNote, &welcomeTitle};

}  // namespace machine

}  // namespace tarrow
