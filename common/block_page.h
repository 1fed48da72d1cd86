#pragma once
// The helper's own page, served on the plain port to a browser that opened a blocked
// site, and the HTTP answer that carries it.

#include <optional>
#include <string>
#include <string_view>

#include "common/machine_text.h"

namespace tarrow {

namespace machine {
// The page's two sentences that name the machine and the place of the app's icon. The
// helper cannot know whether the user's desktop has a tray, so other desktops get both
// ways to the app's menu.
inline constexpr MachineText helperPageWhy{
    " is blocking this site</b>, because you asked it to, on this Mac.",
    " is blocking this site</b>, because you asked it to, on this computer."};
inline constexpr MachineText helperPageHow{
    "To open it anyway, click the <b>{letter}</b> in your menu bar and choose <b>Okay, "
    "Now</b>. That opens every site again.",
    "To open it anyway, click the <b>{letter}</b> in your panel and choose <b>Okay, Now</b> "
    "(no <b>{letter}</b> in your panel: open <b>Tarrow</b> from the applications menu and "
    "use its window\u2019s menu). That opens every site again."};
}  // namespace machine

// The page naming the site (without "www." and "m."), or "This site" without a host.
std::string blockPage(const std::optional<std::string>& host);

// "403 Forbidden" with the page as its body; the connection closes after it.
std::string blockAnswer(const std::optional<std::string>& host);

}  // namespace tarrow
