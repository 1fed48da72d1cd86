#include "app/model/attempts_json.h"

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

std::string encodeAttempts(const AttemptCounts& counts) {
    json days = json::object();
    for (const auto& [day, sites] : counts) {
        if (sites.empty()) continue;
        json& entry = days[dayText(day)];
        for (const auto& [domain, n] : sites) entry[domain] = n;
    }
    json top = json::object();
    top["days"] = std::move(days);
    return top.dump(2) + "\n";
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
    if (days->size() > size_t(keptDays))
        return refused("holds " + std::to_string(days->size()) + " days, more than " +
                       std::to_string(keptDays));
    for (const auto& [key, sites] : days->items()) {
        const std::optional<Day> day = parseDay(key);
        if (!day) return refused("day " + json(key).dump() + " is not a date");
        if (!sites.is_object()) return refused("day " + key + " is not an object");
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
