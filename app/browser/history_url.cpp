#include "app/browser/history_url.h"

#include <unicode/uidna.h>

#include <algorithm>
#include <array>

namespace tarrow {

namespace {

bool isSchemeChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '-' || c == '.';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> percentDecoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        int high = hexValue(text[i + 1]), low = hexValue(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

const UIDNA* idna() {
    static const UIDNA* converter = [] {
        UErrorCode error = U_ZERO_ERROR;
        UIDNA* made = uidna_openUTS46(
            UIDNA_NONTRANSITIONAL_TO_ASCII | UIDNA_CHECK_BIDI | UIDNA_CHECK_CONTEXTJ, &error);
        return U_SUCCESS(error) ? made : nullptr;
    }();
    return converter;
}

}  // namespace

std::optional<std::string_view> urlHost(std::string_view url) {
    size_t colon = url.find(':');
    if (colon == 0 || colon == std::string_view::npos) return std::nullopt;
    std::string_view scheme = url.substr(0, colon);
    if (!((scheme[0] >= 'a' && scheme[0] <= 'z') || (scheme[0] >= 'A' && scheme[0] <= 'Z')) ||
        !std::all_of(scheme.begin(), scheme.end(), isSchemeChar))
        return std::nullopt;
    std::string_view rest = url.substr(colon + 1);
    if (!rest.starts_with("//")) return std::nullopt;
    rest.remove_prefix(2);
    std::string_view authority = rest.substr(0, rest.find_first_of("/?#\\"));
    size_t at = authority.rfind('@');
    if (at != std::string_view::npos) authority.remove_prefix(at + 1);
    std::string_view host = authority;
    if (host.starts_with('[')) {
        size_t close = host.find(']');
        host = host.substr(0, close == std::string_view::npos ? host.size() : close + 1);
    } else {
        host = host.substr(0, host.find(':'));
    }
    if (host.empty()) return std::nullopt;
    return host;
}

std::optional<std::string> asciiHost(std::string_view host) {
    std::string text(host);
    if (text.find('%') != std::string::npos) {
        auto decoded = percentDecoded(text);
        if (!decoded) return std::nullopt;
        text = std::move(*decoded);
    }
    bool ascii = std::all_of(text.begin(), text.end(),
                             [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) return text;
    const UIDNA* converter = idna();
    if (converter == nullptr || text.size() > 1024) return std::nullopt;
    std::array<char, 1024> out{};
    UIDNAInfo info = UIDNA_INFO_INITIALIZER;
    UErrorCode error = U_ZERO_ERROR;
    int32_t size =
        uidna_nameToASCII_UTF8(converter, text.data(), static_cast<int32_t>(text.size()),
                               out.data(), static_cast<int32_t>(out.size()), &info, &error);
    if (U_FAILURE(error) || info.errors != 0 || size < 0 || static_cast<size_t>(size) >= out.size())
        return std::nullopt;
    return std::string(out.data(), static_cast<size_t>(size));
}

}  // namespace tarrow
