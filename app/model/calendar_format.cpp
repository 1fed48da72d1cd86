#include <unicode/dtfmtsym.h>

#include "app/model/calendar_parts.h"

namespace tarrow {

void buildFormats(Calendar::Parts& parts) {
    const icu::TimeZone& zone = parts.calendar->getTimeZone();
    UErrorCode status = U_ZERO_ERROR;

    parts.clock.reset(icu::DateFormat::createTimeInstance(icu::DateFormat::kShort, parts.locale));
    if (parts.clock) parts.clock->setTimeZone(zone);

    parts.weekdayShort =
        std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString("EEE"), parts.locale, status);
    parts.weekdayShort->setTimeZone(zone);

    // Log lines: fixed digits whatever the user's locale.
    status = U_ZERO_ERROR;
    parts.timeFormat = std::make_unique<icu::SimpleDateFormat>(
        icu::UnicodeString("yyyy-MM-dd HH:mm:ss"), icu::Locale("en_US_POSIX"), status);
    parts.timeFormat->setTimeZone(zone);

    status = U_ZERO_ERROR;
    icu::DateFormatSymbols symbols(parts.locale, status);
    if (U_SUCCESS(status)) {
        int32_t count = 0;
        const icu::UnicodeString* names = symbols.getWeekdays(count, icu::DateFormatSymbols::FORMAT,
                                                              icu::DateFormatSymbols::ABBREVIATED);
        for (int32_t i = 1; i < count && i < 8; ++i)
            parts.weekdaySymbols[size_t(i)] = utf8(names[i]);
    }
}

namespace {

std::string formatted(const icu::DateFormat* format, Instant t) {
    if (!format) return {};
    icu::UnicodeString out;
    format->format(toUDate(t), out);
    return utf8(out);
}

}  // namespace

std::string Calendar::clock(Instant t) const {
    return formatted(parts_->clock.get(), t);
}

std::string Calendar::weekdayShort(Instant t) const {
    return formatted(parts_->weekdayShort.get(), t);
}

std::string Calendar::timestamp(Instant t) const {
    return formatted(parts_->timeFormat.get(), t);
}

std::string Calendar::shortWeekdaySymbol(int weekday) const {
    if (weekday < 1 || weekday > 7) return {};
    return parts_->weekdaySymbols[size_t(weekday)];
}

}  // namespace tarrow
