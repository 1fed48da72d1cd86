#include "app/model/site_names.h"

#include <unicode/bytestream.h>
#include <unicode/idna.h>

#include <algorithm>
#include <array>

#include "app/model/presets.h"
#include "common/hosts_section.h"

namespace tarrow {

namespace {

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// White space and line breaks, ASCII and the Unicode ones a paste may carry.
constexpr std::array<std::string_view, 19> unicodeSpaces = {
    "\u0085", "\u00A0", "\u1680", "\u2000", "\u2001", "\u2002", "\u2003",
    "\u2004", "\u2005", "\u2006", "\u2007", "\u2008", "\u2009", "\u200A",
    "\u2028", "\u2029", "\u202F", "\u205F", "\u3000"};

bool asciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trimmed(std::string_view s) {
    bool changed = true;
    while (changed && !s.empty()) {
        changed = false;
        while (!s.empty() && asciiSpace(s.front())) s.remove_prefix(1), changed = true;
        while (!s.empty() && asciiSpace(s.back())) s.remove_suffix(1), changed = true;
        for (std::string_view space : unicodeSpaces) {
            if (startsWith(s, space)) s.remove_prefix(space.size()), changed = true;
            if (s.size() >= space.size() && s.substr(s.size() - space.size()) == space)
                s.remove_suffix(space.size()), changed = true;
        }
    }
    return s;
}

// An international name as punycode (lower case); none when it is not a valid name.
std::optional<std::string> asciiName(std::string_view name) {
    UErrorCode status = U_ZERO_ERROR;
    static const icu::IDNA* idna = icu::IDNA::createUTS46Instance(
        UIDNA_NONTRANSITIONAL_TO_ASCII | UIDNA_CHECK_BIDI | UIDNA_CHECK_CONTEXTJ, status);
    if (!idna) return std::nullopt;
    std::string out;
    icu::StringByteSink<std::string> sink(&out);
    icu::IDNAInfo info;
    status = U_ZERO_ERROR;
    idna->nameToASCII_UTF8(icu::StringPiece(name.data(), int32_t(name.size())), sink, info, status);
    if (U_FAILURE(status) || info.hasErrors()) return std::nullopt;
    return out;
}

}  // namespace

const std::map<std::string, std::vector<std::string>, std::less<>>& aliases() {
    static const std::map<std::string, std::vector<std::string>, std::less<>> table = {
        {"youtube.com", {"youtu.be", "www.youtu.be"}},
        {"x.com", {"twitter.com", "www.twitter.com", "mobile.twitter.com", "mobile.x.com"}},
        {"twitter.com", {"x.com", "www.x.com", "mobile.twitter.com", "mobile.x.com"}},
        {"reddit.com", {"old.reddit.com", "new.reddit.com", "redd.it"}},
        {"facebook.com", {"web.facebook.com", "fb.com", "www.fb.com"}},
        {"tiktok.com", {"vm.tiktok.com"}},
        {"linkedin.com", {"lnkd.in"}},
    };
    return table;
}

std::optional<std::string> normalize(std::string_view text) {
    std::string s(trimmed(text));
    std::transform(s.begin(), s.end(), s.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });

    if (size_t scheme = s.find("://"); scheme != std::string::npos) s.erase(0, scheme + 3);
    if (size_t cut = s.find_first_of("/?#"); cut != std::string::npos) s.erase(cut);
    if (size_t at = s.rfind('@'); at != std::string::npos) s.erase(0, at + 1);
    if (size_t colon = s.find(':'); colon != std::string::npos) s.erase(colon);

    // A name typed in its own script is stored as the punycode the hosts file needs.
    if (std::any_of(s.begin(), s.end(),
                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
        auto ascii = asciiName(s);
        if (!ascii) return std::nullopt;
        s = *ascii;
    }

    while (!s.empty() && s.back() == '.') s.pop_back();
    if (startsWith(s, "*.")) s.erase(0, 2);
    if (startsWith(s, "www.")) s.erase(0, 4);
    if (!validHost(s)) return std::nullopt;
    return s;
}

std::string siteName(std::string_view domain) {
    for (const Preset& p : presets())
        if (p.domain == domain) return p.name;
    return std::string(domain);
}

std::vector<std::string> hostNames(std::string_view domain) {
    std::vector<std::string> candidates = {std::string(domain), "www." + std::string(domain),
                                           "m." + std::string(domain)};
    if (auto it = aliases().find(domain); it != aliases().end())
        candidates.insert(candidates.end(), it->second.begin(), it->second.end());
    std::vector<std::string> names;
    for (std::string& c : candidates)
        if (validHost(c)) names.push_back(std::move(c));
    return names;
}

SiteOpenNames openNamesBySite(const std::vector<Site>& sites, const StillOpen& open) {
    SiteOpenNames bySite;
    if (open.empty()) return bySite;
    for (const Site& site : sites) {
        for (const std::string& name : hostNames(site.domain)) {
            auto it = open.find(name);
            if (it == open.end()) continue;
            std::vector<OpenName>& names = bySite[site.domain];
            // hostNames may repeat a name (an alias equal to a fixed form)
            if (std::find_if(names.begin(), names.end(),
                             [&](const OpenName& n) { return n.name == name; }) == names.end())
                names.push_back({name, it->second});
        }
    }
    return bySite;
}

}  // namespace tarrow
