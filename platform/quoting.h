#pragma once
// Quoting of values that go into scripts and service files run as root. Each function
// makes any text one literal value in its target language.

#include <string>
#include <string_view>

namespace tarrow::platform {

// POSIX shell single quoting: 'text', each ' written as '\''.
std::string shellQuote(std::string_view s);

// XML character data: & < > and " in this order.
std::string xmlEscape(std::string_view s);

// One argument of a systemd Exec line: double quoted, with \ " escaped and the
// specifier (%) and variable ($) characters doubled, so the value reaches the
// program unchanged.
std::string systemdQuote(std::string_view s);

// The inside of an AppleScript string literal: \ doubled first, then " escaped.
std::string appleScriptEscape(std::string_view s);

}  // namespace tarrow::platform
