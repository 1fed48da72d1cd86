#include "app/model/attempts_json.h"

#include <charconv>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "common/hosts_section.h"
#include "common/utf8.h"

namespace tarrow {

using nlohmann::json;

std::string dayText(Day day) {
    const std::chrono::year_month_day date{day};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", int(date.year()), unsigned(date.month()),
                  unsigned(date.day()));
    return text;
}

std::optional<Day> parseDay(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    auto digits = [&text](size_t from, size_t count) -> std::optional<int> {
        int value = 0;
        for (size_t i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9') return std::nullopt;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const auto year = digits(0, 4), month = digits(5, 2), day = digits(8, 2);
    if (!year || !month || !day) return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year{*year},
                                           std::chrono::month{unsigned(*month)},
                                           std::chrono::day{unsigned(*day)}};
    if (!date.ok()) return std::nullopt;
    return Day{date};
}

// Written by hand rather than through a JSON value: building one for 18,000 counts takes
// milliseconds, and the tick has less than one. Nothing needs escaping: every key is a
// date or a host name (a-z, 0-9, dots and hyphens), which count() and decodeAttempts()
// make sure of. The layout is the one config.json has.

std::string encodeDay(Day day, const SiteAttempts& sites) {
    std::string out = "\"" + dayText(day) + "\": {";
    out.reserve(out.size() + sites.size() * 32 + 8);
    char number[16];
    bool first = true;
    for (const auto& [domain, n] : sites) {
        out += first ? "\n      \"" : ",\n      \"";
        first = false;
        out += domain;
        out += "\": ";
        out.append(number, std::to_chars(number, number + sizeof number, n).ptr);
    }
    out += first ? "}" : "\n    }";
    return out;
}

std::string joinDays(const std::vector<std::string_view>& days) {
    size_t size = 32;
    for (std::string_view day : days) size += day.size() + 6;
    std::string out;
    out.reserve(size);
    out += "{\n  \"days\": {";
    for (size_t i = 0; i < days.size(); ++i) {
        out += i == 0 ? "\n    " : ",\n    ";
        out += days[i];
    }
    out += days.empty() ? "}\n}\n" : "\n  }\n}\n";
    return out;
}

std::string encodeAttempts(const AttemptCounts& counts) {
    std::vector<std::string> texts;
    for (const auto& [day, sites] : counts)
        if (!sites.empty()) texts.push_back(encodeDay(day, sites));
    return joinDays({texts.begin(), texts.end()});
}

AttemptsReading decodeAttempts(std::string_view text) {
    auto refused = [](std::string why) { return AttemptsReading{std::nullopt, std::move(why)}; };
    if (!validUtf8(text)) return refused("not UTF-8");
    const json top = json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (top.is_discarded()) return refused("not JSON");
    if (!top.is_object()) return refused("not a JSON object");
    AttemptCounts counts;
    auto days = top.find("days");
    if (days == top.end()) return AttemptsReading{std::move(counts), {}};
    if (!days->is_object()) return refused("\"days\" is not an object");
    constexpr size_t mostDays = keptDays + aheadDays;
    if (days->size() > mostDays)
        return refused("holds " + std::to_string(days->size()) + " days, more than " +
                       std::to_string(mostDays));
    for (const auto& [key, sites] : days->items()) {
        const std::optional<Day> day = parseDay(key);
        if (!day) return refused("day " + json(key).dump() + " is not a date");
        if (!sites.is_object()) return refused("day " + key + " is not an object");
        if (sites.empty()) continue;
        SiteAttempts& into = counts[*day];
        for (const auto& [domain, n] : sites.items()) {
            if (!validHost(domain))
                return refused("site " + json(domain).dump() + " is not a host name");
            const bool whole = n.is_number_unsigned() || n.is_number_integer();
            if (!whole || n.get<int64_t>() < 1 || n.get<int64_t>() > maxDayCount)
                return refused("count " + n.dump() + " of " + domain + " on " + key +
                               " is not a whole number from 1 to " + std::to_string(maxDayCount));
            into[domain] = int(n.get<int64_t>());
        }
    }
    return AttemptsReading{std::move(counts), {}};
}

}  // namespace tarrow
