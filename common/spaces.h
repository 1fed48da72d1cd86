#pragma once
// White space as the request file and HTTP heads trim it: the Unicode space separators
// (category Zs) and tab, never line breaks. Small fixed tables; no Unicode library.

#include <cstddef>
#include <string_view>

namespace tarrow {

// Length of the space separator or tab at the start of s; 0 if none. s is UTF-8.
size_t spaceAt(std::string_view s);

// s without space separators and tabs at either end.
std::string_view trimSpaces(std::string_view s);

}  // namespace tarrow
