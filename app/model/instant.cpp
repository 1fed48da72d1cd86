#include "app/model/instant.h"

#include "common/strict_lock_text.h"

namespace tarrow {

namespace {

// Reads exactly `n` ASCII digits at `pos`; none when any is missing.
std::optional<int> digits(std::string_view s, size_t pos, size_t n) {
    if (pos + n > s.size()) return std::nullopt;
    int v = 0;
    for (size_t i = pos; i < pos + n; ++i) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
        v = v * 10 + (s[i] - '0');
    }
    return v;
}

}  // namespace

std::string isoText(Instant t) {
    return utcText(t);
}

std::optional<Instant> parseIso(std::string_view s) {
    using namespace std::chrono;
    // yyyy-MM-ddTHH:mm:ss then Z or ±hh:mm
    if (s.size() < 20 || s[4] != '-' || s[7] != '-' || (s[10] != 'T' && s[10] != 't') ||
        s[13] != ':' || s[16] != ':')
        return std::nullopt;
    auto y = digits(s, 0, 4), mo = digits(s, 5, 2), d = digits(s, 8, 2);
    auto h = digits(s, 11, 2), mi = digits(s, 14, 2), se = digits(s, 17, 2);
    if (!y || !mo || !d || !h || !mi || !se) return std::nullopt;
    if (*h > 23 || *mi > 59 || *se > 59) return std::nullopt;
    const year_month_day ymd{year{*y}, month{unsigned(*mo)}, day{unsigned(*d)}};
    if (!ymd.ok()) return std::nullopt;

    seconds offset{0};
    std::string_view zone = s.substr(19);
    if (zone == "Z" || zone == "z") {
        // UTC
    } else if (zone.size() == 6 && (zone[0] == '+' || zone[0] == '-') && zone[3] == ':') {
        auto oh = digits(zone, 1, 2), om = digits(zone, 4, 2);
        if (!oh || !om || *oh > 23 || *om > 59) return std::nullopt;
        offset = hours{*oh} + minutes{*om};
        if (zone[0] == '-') offset = -offset;
    } else {
        return std::nullopt;  // a fraction, trailing text or no zone at all
    }
    return sys_days{ymd} + hours{*h} + minutes{*mi} + seconds{*se} - offset;
}

}  // namespace tarrow
