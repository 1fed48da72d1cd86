#pragma once
// What the app sends to scriptable browsers: the table of browsers and how each names
// a window's shown tab, the four script texts, and the test for whether an address
// belongs to a blocked site.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace tarrow {

// Application identifier -> the browser's name for a window's shown tab.
const std::map<std::string, std::string>& scriptableBrowsers();

// The blocked host an address belongs to (exact host only), or none.
std::optional<std::string> blockedHost(std::string_view url, const std::set<std::string>& names);

// An AppleScript string literal.
std::string scriptString(std::string_view s);

std::string readFrontTabScript(std::string_view id, std::string_view tab);
std::string rewriteFrontTabScript(std::string_view id, std::string_view tab, std::string_view url,
                                  std::string_view page);
std::string listAllTabsScript(std::string_view id);
std::string rewriteOneTabScript(std::string_view id, int window, int tab, std::string_view url,
                                std::string_view page);

}  // namespace tarrow
