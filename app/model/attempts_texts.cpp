#include "app/model/attempts_texts.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace tarrow {

namespace {

// "1st", "2nd", "3rd", "4th", "11th", "12th", "13th", "21st", "112th".
std::string ordinal(int n) {
    const int lastTwo = n % 100, last = n % 10;
    const char* suffix = "th";
    if (lastTwo < 11 || lastTwo > 13) {
        if (last == 1) suffix = "st";
        if (last == 2) suffix = "nd";
        if (last == 3) suffix = "rd";
    }
    return std::to_string(n) + suffix;
}

}  // namespace

std::string todayTryLine(int todayTries) {
    if (todayTries <= 0) return {};
    if (todayTries == 1) return "First try today";
    return ordinal(todayTries) + " try today";
}

std::string attemptsReport(const AttemptCounts& counts, Day today) {
    const SiteAttempts sums = totals(counts, today, weekDays);
    std::vector<std::pair<std::string, int>> rows(sums.begin(), sums.end());
    // Most first; the map's order keeps equal counts in domain order.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    std::string out;
    long total = 0;
    for (const auto& [domain, n] : rows) {
        std::string number = std::to_string(n);
        number.resize(std::max<size_t>(number.size() + 1, 7), ' ');
        out += number + domain + "\n";
        total += n;
    }
    out += std::to_string(total) + (total == 1 ? " attempt in 7 days\n" : " attempts in 7 days\n");
    return out;
}

}  // namespace tarrow
