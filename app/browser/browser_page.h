#pragma once
// The block page that a browser tab is sent to: names the site, says until when it
// stays closed, how to open it anyway (with a tray or without one), and polls the server
// until everything is open again.

#include <string>
#include <string_view>

namespace tarrow {

std::string browserPage(std::string_view name, std::string_view line, std::string_view back,
                        std::string_view token, bool tray = true);

}  // namespace tarrow
