#pragma once
// Escaping for the three languages the block page mixes: query strings, HTML text
// and attributes, and JavaScript string literals inside a script element.

#include <string>
#include <string_view>

namespace tarrow {

// Percent-encodes every UTF-8 byte except those of Unicode letters, marks and digits
// (of any script) and "-", ".", "_", "~". Input that is not UTF-8 gives "".
std::string queryEscape(std::string_view s);

// "&", "<", ">", the double quote and the apostrophe, in that order.
std::string htmlEscape(std::string_view s);

// A JavaScript string literal (quotes included) that can never close the script
// element it is written into. Input that is not UTF-8 gives the empty literal.
std::string jsString(std::string_view s);

}  // namespace tarrow
