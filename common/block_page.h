#pragma once
// The helper's own page, served on the plain port to a browser that opened a blocked
// site, and the HTTP answer that carries it.

#include <optional>
#include <string>
#include <string_view>

namespace tarrow {

// The page naming the site (without "www." and "m."), or "This site" without a host.
std::string blockPage(const std::optional<std::string>& host);

// "403 Forbidden" with the page as its body; the connection closes after it.
std::string blockAnswer(const std::optional<std::string>& host);

}  // namespace tarrow
