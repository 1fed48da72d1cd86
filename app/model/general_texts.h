#pragma once
// The texts of the General tab and of the welcome window. Where the Mac is named, the
// other systems say "this computer" and "the panel" instead (see `Desktop`).

#include <string>
#include <string_view>

#include "common/machine_text.h"

namespace tarrow {

// General tab.
std::string loginTitle();  // "Start Tarrow at login"
// The login switch's tool tip while a per-user service started the app (the switch is
// locked then): the macOS launch agent, or elsewhere the systemd user unit `unit`.
std::string startedByTip(std::string_view unit, Desktop desktop = thisDesktop);
// The same service in a log line: "LaunchAgent" or "systemd user unit tarrow.service".
std::string agentName(std::string_view unit, Desktop desktop = thisDesktop);
std::string noticeTitle();  // "Show Tarrow’s page when a blocked site is opened"
std::string noticeExplanation(Desktop desktop = thisDesktop);
inline constexpr std::string_view suggestTitle = "Suggest sites from my browsing history";
std::string suggestExplanation(Desktop desktop = thisDesktop);
inline constexpr std::string_view waitTitle = "Wait a minute before opening";
inline constexpr std::string_view waitExplanation =
    "\u201COkay, Now\u201D opens your sites only after 60 seconds. Choose it again in that "
    "minute and they stay blocked.";
// Under the status line while a strict lock holds.
inline constexpr std::string_view strictExplanation =
    "A strict lock can\u2019t be ended early, not even by quitting. Only an administrator "
    "can end it, with \u201Csudo tarrow-helper --clear\u201D.";
// The tip of "Remove Helper…" while a strict lock holds: removal runs as root.
inline constexpr std::string_view removeEndsStrictTip =
    "Removing the helper needs the administrator password and ends the strict lock.";
std::string privacyParagraph(Desktop desktop = thisDesktop);

// The footer: the name and version, and the four buttons.
std::string versionLine(std::string_view version);  // "Tarrow 1.0.0"
std::string aboutTitle();                           // "About Tarrow"
inline constexpr std::string_view websiteTitle = "Website";
inline constexpr std::string_view privacyTitle = "Privacy";
inline constexpr std::string_view showLogTitle = "Show Log";

// The welcome window of a first start.
// `tray`: the desktop shows status icons; without, the app is reached from the
// applications menu.
std::string welcomeHeadline(Desktop desktop = thisDesktop, bool tray = true);
std::string welcomeBody();
std::string welcomeWhere(Desktop desktop = thisDesktop, bool tray = true);
inline constexpr std::string_view laterTitle = "Later";

}  // namespace tarrow
