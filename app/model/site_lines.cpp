#include "app/model/site_lines.h"

#include <unicode/locid.h>
#include <unicode/numberformatter.h>

#include "app/model/presets.h"
#include "app/model/site_names.h"

namespace tarrow {

namespace {

constexpr std::string_view separator = " \u00B7 ";

std::string joined(const std::vector<std::string>& parts, std::string_view between) {
    std::string out;
    for (const std::string& part : parts) {
        if (!out.empty()) out += between;
        out += part;
    }
    return out;
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// A whole number with the locale's digit grouping; plain digits if ICU cannot format it.
std::string wholeNumber(int64_t n, std::string_view locale) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale where(std::string(locale).c_str());
    icu::UnicodeString text =
        icu::number::NumberFormatter::withLocale(where).formatInt(n, status).toString(status);
    if (U_FAILURE(status)) return std::to_string(n);
    std::string out;
    return text.toUTF8String(out);
}

}  // namespace

std::optional<std::string> detail(std::string_view domain, int weekTries, std::string_view locale,
                                  const std::vector<OpenName>& open) {
    std::vector<std::string> parts;
    if (siteName(domain) != domain) parts.emplace_back(domain);
    std::vector<std::string> also;
    if (auto it = aliases().find(domain); it != aliases().end())
        for (const std::string& alias : it->second)
            if (!startsWith(alias, "www.") && !startsWith(alias, "mobile.")) also.push_back(alias);
    if (!also.empty()) parts.push_back("also " + joined(also, ", "));
    if (auto tried = triedLine(weekTries, locale)) parts.push_back(std::move(*tried));
    if (auto opens = openLine(domain, open)) parts.push_back(std::move(*opens));
    if (parts.empty()) return std::nullopt;
    return joined(parts, separator);
}

std::optional<std::string> triedLine(int weekTries, std::string_view locale) {
    if (weekTries <= 0) return std::nullopt;
    if (weekTries == 1) return "tried once this week";
    if (weekTries == 2) return "tried twice this week";
    return "tried " + wholeNumber(weekTries, locale) + " times this week";
}

std::optional<std::string> openLine(std::string_view domain, const std::vector<OpenName>& open) {
    if (open.empty()) return std::nullopt;
    const OpenName& first = open.front();
    if (first.name == domain) return "still opens: " + first.reason;
    return "still opens: " + first.name + " \u2013 " + first.reason;
}

std::string visitsLine(const Suggestion& suggestion, std::string_view locale) {
    std::vector<std::string> parts;
    if (siteName(suggestion.domain) != suggestion.domain) parts.push_back(suggestion.domain);
    parts.push_back(wholeNumber(suggestion.visits, locale) + " visits");
    for (const Preset& preset : presets()) {
        if (preset.domain != suggestion.domain) continue;
        if (!preset.kind.empty()) parts.push_back(preset.kind);
        break;
    }
    return joined(parts, separator);
}

std::string listJoined(const std::vector<std::string>& names) {
    if (names.size() < 2) return names.empty() ? std::string() : names.front();
    std::vector<std::string> head(names.begin(), names.end() - 1);
    return joined(head, ", ") + " and " + names.back();
}

}  // namespace tarrow
