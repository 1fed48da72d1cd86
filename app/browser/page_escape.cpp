#include "app/browser/page_escape.h"

#include <QChar>
#include <nlohmann/json.hpp>

#include "common/utf8.h"

namespace tarrow {

namespace {

bool keptInQuery(char32_t c) {
    if (c == '-' || c == '.' || c == '_' || c == '~') return true;
    return QChar::isLetterOrNumber(c) || QChar::isMark(c);
}

// For valid UTF-8 only.
size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead < 0xE0) return 2;
    if (lead < 0xF0) return 3;
    return 4;
}

char32_t codePoint(std::string_view bytes) {
    static constexpr unsigned char leadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t c = static_cast<unsigned char>(bytes[0]) & leadMask[bytes.size()];
    for (size_t i = 1; i < bytes.size(); ++i) c = (c << 6) | (bytes[i] & 0x3F);
    return c;
}

void replaceAll(std::string& s, std::string_view from, std::string_view to) {
    for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) {
        s.replace(at, from.size(), to);
    }
}

}  // namespace

std::string queryEscape(std::string_view s) {
    if (!validUtf8(s)) return {};
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(s.size() * 3);
    for (size_t i = 0; i < s.size();) {
        const size_t length = sequenceLength(static_cast<unsigned char>(s[i]));
        const std::string_view bytes = s.substr(i, length);
        i += length;
        if (keptInQuery(codePoint(bytes))) {
            out += bytes;
            continue;
        }
        for (unsigned char b : bytes) {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 15];
        }
    }
    return out;
}

std::string htmlEscape(std::string_view s) {
    std::string out(s);
    replaceAll(out, "&", "&amp;");
    replaceAll(out, "<", "&lt;");
    replaceAll(out, ">", "&gt;");
    replaceAll(out, "\"", "&quot;");
    replaceAll(out, "'", "&#39;");
    return out;
}

std::string jsString(std::string_view s) {
    std::string array = "[\"\"]";
    if (validUtf8(s)) array = nlohmann::json::array({std::string(s)}).dump();
    std::string literal = array.substr(1, array.size() - 2);
    replaceAll(literal, "</", "<\\/");
    return literal;
}

}  // namespace tarrow
