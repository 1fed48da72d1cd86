#include "common/strict_lock_text.h"

#include <cstdio>

namespace tarrow {

namespace {

std::optional<int> digits(std::string_view s, size_t pos, size_t n) {
    int v = 0;
    for (size_t i = pos; i < pos + n; ++i) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
        v = v * 10 + (s[i] - '0');
    }
    return v;
}

// The value of a "key value" line at the front of text, and the text after that line.
std::optional<std::string_view> header(std::string_view& text, std::string_view key) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != ' ')
        return std::nullopt;
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return line.substr(key.size() + 1);
}

}  // namespace

std::string utcText(std::chrono::sys_seconds t) {
    using namespace std::chrono;
    const auto day = floor<days>(t);
    const year_month_day ymd{day};
    const hh_mm_ss hms{t - day};
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02uT%02d:%02d:%02dZ", int(ymd.year()),
                  unsigned(ymd.month()), unsigned(ymd.day()), int(hms.hours().count()),
                  int(hms.minutes().count()), int(hms.seconds().count()));
    return buf;
}

std::optional<std::chrono::sys_seconds> parseUtcText(std::string_view s) {
    using namespace std::chrono;
    if (s.size() != 20 || s[4] != '-' || s[7] != '-' || s[10] != 'T' || s[13] != ':' ||
        s[16] != ':' || s[19] != 'Z')
        return std::nullopt;
    auto y = digits(s, 0, 4), mo = digits(s, 5, 2), d = digits(s, 8, 2);
    auto h = digits(s, 11, 2), mi = digits(s, 14, 2), se = digits(s, 17, 2);
    if (!y || !mo || !d || !h || !mi || !se || *h > 23 || *mi > 59 || *se > 59) return std::nullopt;
    const year_month_day ymd{year{*y}, month{unsigned(*mo)}, day{unsigned(*d)}};
    if (!ymd.ok()) return std::nullopt;
    return sys_days{ymd} + hours{*h} + minutes{*mi} + seconds{*se};
}

std::string strictLockText(std::chrono::sys_seconds until,
                           std::optional<std::chrono::sys_seconds> taken,
                           const std::vector<std::string>& names) {
    std::string text = "until " + utcText(until) + "\n";
    if (taken) text += "taken " + utcText(*taken) + "\n";
    for (const std::string& name : names) text += name + "\n";
    return text;
}

std::optional<StrictLockText> parseStrictLock(std::string_view text) {
    StrictLockText lock;
    std::optional<std::string_view> until = header(text, "until");
    if (!until) return std::nullopt;
    std::optional<std::chrono::sys_seconds> end = parseUtcText(*until);
    if (!end) return std::nullopt;
    lock.until = *end;
    if (std::optional<std::string_view> taken = header(text, "taken")) {
        lock.taken = parseUtcText(*taken);
        if (!lock.taken) return std::nullopt;
    }
    lock.names = std::string(text);
    return lock;
}

}  // namespace tarrow
