#include "common/sniff.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/spaces.h"
#include "common/utf8.h"

namespace tarrow {

namespace {

// A bounded view: every read is checked against `end`, never against the caller's
// buffer, so a length field can never carry a read past the record.
struct Bytes {
    std::string_view data;
    size_t end;  // reads stop here (end <= data.size())

    bool has(size_t offset, size_t count) const { return offset <= end && count <= end - offset; }
    uint8_t u8(size_t offset) const { return static_cast<uint8_t>(data[offset]); }
    size_t u16(size_t offset) const { return size_t{u8(offset)} << 8 | u8(offset + 1); }
};

bool ascii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// The server-name extension's data [start, xe): a two-byte list length, then entries of
// a one-byte type, a two-byte length and the name.
Parsed serverName(const Bytes& b, size_t start, size_t xe) {
    size_t at = start + 2;
    while (true) {
        if (at > xe || xe - at < 3) return Parsed::none();  // next name would start past xe
        size_t type = b.u8(at), k = b.u16(at + 1);
        size_t nameAt = at + 3;
        if (k > xe - nameAt) return Parsed::none();
        std::string_view name = b.data.substr(nameAt, k);
        if (type == 0 && ascii(name)) return Parsed::host(asciiLower(name));
        at = nameAt + k;
    }
}

// Length of a newline sequence at the start of s (the head is valid UTF-8), 0 if none.
size_t newlineAt(std::string_view s) {
    if (s.empty()) return 0;
    auto b = [&](size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; };
    if (b(0) == '\r') return b(1) == '\n' ? 2 : 1;
    if (b(0) == '\n' || b(0) == 0x0B || b(0) == 0x0C) return 1;
    if (b(0) == 0xC2 && b(1) == 0x85) return 2;                                    // U+0085
    if (b(0) == 0xE2 && b(1) == 0x80 && (b(2) == 0xA8 || b(2) == 0xA9)) return 3;  // U+2028/9
    return 0;
}

// Lines of the head split at every newline sequence, empty ones dropped.
std::vector<std::string_view> headLines(std::string_view head) {
    std::vector<std::string_view> lines;
    size_t start = 0, i = 0;
    while (i < head.size()) {
        size_t n = newlineAt(head.substr(i));
        if (n == 0) {
            ++i;
            continue;
        }
        if (i > start) lines.push_back(head.substr(start, i - start));
        i += n;
        start = i;
    }
    if (start < head.size()) lines.push_back(head.substr(start));
    return lines;
}

}  // namespace

Parsed clientHelloHost(std::string_view data) {
    const size_t n = data.size();
    if (n == 0) return Parsed::incomplete();
    if (static_cast<uint8_t>(data[0]) != 0x16) return Parsed::none();
    if (n < 6) return Parsed::incomplete();
    if (static_cast<uint8_t>(data[5]) != 0x01) return Parsed::none();

    Bytes b{data, 0};
    b.end = n;
    const size_t length = b.u16(3);
    const size_t end = length + 5;
    if (n < end) return Parsed::incomplete();
    b.end = end;
    if (length < 39) return Parsed::none();

    const size_t s = b.u8(43);
    if (!b.has(0, 46 + s)) return Parsed::none();
    const size_t c = b.u16(44 + s);
    const size_t p = 46 + s + c;
    if (p >= end) return Parsed::none();
    const size_t extensionsLength = p + 1 + b.u8(p);  // where the extensions' length sits
    if (!b.has(extensionsLength, 2)) return Parsed::none();
    const size_t x = extensionsLength + 2;
    const size_t xend = std::min(x + b.u16(extensionsLength), end);

    size_t at = x;
    while (at < xend) {
        if (xend - at < 4) return Parsed::none();
        size_t type = b.u16(at), len = b.u16(at + 2);
        size_t start = at + 4;
        if (len > xend - start) return Parsed::none();
        if (type == 0 && len > 4) return serverName(b, start, start + len);
        at = start + len;
    }
    return Parsed::none();
}

Parsed httpHost(std::string_view data) {
    size_t blank = data.find("\r\n\r\n");
    if (blank == std::string_view::npos) blank = data.find("\n\n");
    if (blank == std::string_view::npos)
        return data.size() > headerLimit ? Parsed::none() : Parsed::incomplete();

    std::string_view head = data.substr(0, blank);
    if (!validUtf8(head)) return Parsed::none();
    std::vector<std::string_view> lines = headLines(head);
    if (lines.size() < 2) return Parsed::none();

    for (size_t i = 1; i < lines.size(); ++i) {
        std::string_view line = trimSpaces(lines[i]);
        if (line.size() < 5 || asciiLower(line.substr(0, 5)) != "host:") continue;
        std::string value = asciiLower(trimSpaces(line.substr(5)));
        if (size_t colon = value.find(':'); colon != std::string::npos) value.resize(colon);
        if (value.empty()) return Parsed::none();
        return Parsed::host(std::move(value));
    }
    return Parsed::none();
}

}  // namespace tarrow
