#pragma once
#include <string_view>

namespace tarrow {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool validUtf8(std::string_view bytes);

}  // namespace tarrow
