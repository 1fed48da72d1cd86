#pragma once
// The fixed texts of the Sites tab. Typed text that is echoed back is made safe to show
// first (see `shownEntry`).

#include <string>
#include <string_view>
#include <vector>

#include "common/machine_text.h"

namespace tarrow {

inline constexpr std::string_view addButtonTitle = "Add";
inline constexpr std::string_view yourListTitle = "Your list";
inline constexpr std::string_view nothingYet = "Nothing yet. Tick a site below.";
inline constexpr std::string_view visitOftenTitle = "You visit often, last 30 days";
inline constexpr std::string_view lookingAtBrowsing = "Looking at your browsing\u2026";
inline constexpr std::string_view noFrequentSite =
    "No site with ten visits or more in the last 30 days.";
inline constexpr std::string_view allOnYourList = "All of them are on your list.";
inline constexpr std::string_view usualAddresses =
    "A ticked site is blocked with its usual addresses (www., m.), in every browser at once.";

// "Add a site, like " and the Reddit row's domain.
std::string addPlaceholder();
// "Popular: " and the kind in lower case.
std::string popularTitle(std::string_view kind);
// The line under the suggestions: where they come from.
std::string historyFootnote(Desktop desktop = thisDesktop);

// The refusals of `add`.
std::string notAnAddress(std::string_view typed);
std::string neverBlocks(std::string_view domain, Desktop desktop = thisDesktop);
// Typed text as a message quotes it: at most `shownEntryLength` characters (then "…");
// control and format characters (direction marks among them), line separators and bytes
// that are not UTF-8 each shown as U+FFFD, so they neither hide in the message nor turn
// the sentence around them, and a pasted page of text cannot stretch the window.
inline constexpr size_t shownEntryLength = 60;
std::string shownEntry(std::string_view typed);

// The remove button of a row: its tool tip and its accessible name.
std::string removeTip(std::string_view name);
std::string removeName(std::string_view name);

// What the tab says about browsers whose history could not be read. On the Mac the
// cure is Full Disk Access and a button leads there; elsewhere one line names the
// browsers and what helps, with no button.
struct LockedNote {
    std::string text;
    std::string button;  // empty: no button
};
// Shown instead of the suggestions when there are none.
LockedNote lockedInsteadOfList(const std::vector<std::string>& browsers,
                               Desktop desktop = thisDesktop);
// Shown under the suggestions when some browsers could be read and others not.
LockedNote lockedUnderList(const std::vector<std::string>& browsers, Desktop desktop = thisDesktop);

}  // namespace tarrow
