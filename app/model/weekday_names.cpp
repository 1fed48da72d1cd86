#include "app/model/weekday_names.h"

#include <unicode/brkiter.h>
#include <unicode/dtfmtsym.h>
#include <unicode/locid.h>

#include <memory>
#include <set>

namespace tarrow {

namespace {

using Names = std::array<std::string, 8>;

Names symbols(const icu::DateFormatSymbols& all, icu::DateFormatSymbols::DtWidthType width) {
    Names out;
    int32_t count = 0;
    const icu::UnicodeString* names = all.getWeekdays(count, icu::DateFormatSymbols::FORMAT, width);
    for (int32_t i = 1; i < count && i < 8; ++i) names[i].toUTF8String(out[size_t(i)]);
    return out;
}

// The first two user-perceived characters, so a letter with its marks stays whole.
std::string firstTwo(const std::string& name, const icu::Locale& locale) {
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(name);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> characters(
        icu::BreakIterator::createCharacterInstance(locale, status));
    if (U_FAILURE(status) || !characters) return name;
    characters->setText(text);
    characters->first();
    characters->next();
    const int32_t end = characters->next();
    if (end == icu::BreakIterator::DONE) return name;
    std::string out;
    text.tempSubString(0, end).toUTF8String(out);
    return out;
}

bool distinct(const Names& names) {
    std::set<std::string> seen;
    for (size_t day = 1; day <= 7; ++day) {
        if (names[day].empty()) return false;
        seen.insert(names[day]);
    }
    return seen.size() == 7;
}

}  // namespace

WeekdayNames weekdayNames(std::string_view locale) {
    WeekdayNames out;
    const icu::Locale where = icu::Locale::createFromName(std::string(locale).c_str());
    UErrorCode status = U_ZERO_ERROR;
    const icu::DateFormatSymbols all(where, status);
    if (U_FAILURE(status)) return out;
    out.full = symbols(all, icu::DateFormatSymbols::WIDE);
    const Names abbreviated = symbols(all, icu::DateFormatSymbols::ABBREVIATED);
    for (size_t day = 1; day <= 7; ++day) out.chip[day] = firstTwo(abbreviated[day], where);
    if (distinct(out.chip)) return out;
    const Names narrow = symbols(all, icu::DateFormatSymbols::NARROW);
    out.chip = distinct(narrow) ? narrow : abbreviated;
    return out;
}

}  // namespace tarrow
