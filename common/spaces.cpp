#include "common/spaces.h"

namespace tarrow {

size_t spaceAt(std::string_view s) {
    auto b = [&](size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; };
    if (s.empty()) return 0;
    if (b(0) == 0x20 || b(0) == 0x09) return 1;
    if (b(0) == 0xC2 && b(1) == 0xA0) return 2;                  // U+00A0
    if (b(0) == 0xE1 && b(1) == 0x9A && b(2) == 0x80) return 3;  // U+1680
    if (b(0) == 0xE2 && b(1) == 0x80 && ((b(2) >= 0x80 && b(2) <= 0x8A) || b(2) == 0xAF))
        return 3;                                                // U+2000-200A, 202F
    if (b(0) == 0xE2 && b(1) == 0x81 && b(2) == 0x9F) return 3;  // U+205F
    if (b(0) == 0xE3 && b(1) == 0x80 && b(2) == 0x80) return 3;  // U+3000
    return 0;
}

std::string_view trimSpaces(std::string_view s) {
    while (size_t n = spaceAt(s)) s.remove_prefix(n);
    while (!s.empty()) {
        size_t cut = 0;
        for (size_t len = 1; len <= 3 && len <= s.size(); ++len)
            if (spaceAt(s.substr(s.size() - len)) == len) {
                cut = len;
                break;
            }
        if (cut == 0) break;
        s.remove_suffix(cut);
    }
    return s;
}

}  // namespace tarrow
