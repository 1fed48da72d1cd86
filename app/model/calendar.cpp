#include <unicode/basictz.h>
#include <unicode/gregocal.h>
#include <unicode/timezone.h>
#include <unicode/tztrans.h>

#include <cmath>
#include <cstdlib>

#include "app/model/calendar_parts.h"

namespace tarrow {

Instant fromUDate(UDate d) {
    return Instant{std::chrono::seconds{static_cast<int64_t>(std::floor(d / 1000.0))}};
}

std::string utf8(const icu::UnicodeString& s) {
    std::string out;
    s.toUTF8String(out);
    return out;
}

namespace {

std::unique_ptr<icu::Calendar> gregorian(icu::TimeZone* zone, const icu::Locale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    auto cal = std::make_unique<icu::GregorianCalendar>(zone, locale, status);
    cal->setSkippedWallTimeOption(UCAL_WALLTIME_NEXT_VALID);
    cal->setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
    return cal;
}

}  // namespace

void buildFormats(Calendar::Parts& parts);  // calendar_format.cpp

Calendar::Calendar(std::string_view zone, std::string_view locale)
    : parts_(std::make_unique<Parts>()) {
    parts_->locale = icu::Locale::createFromName(std::string(locale).c_str());
    icu::TimeZone* tz = icu::TimeZone::createTimeZone(
        icu::UnicodeString::fromUTF8(icu::StringPiece(zone.data(), int32_t(zone.size()))));
    parts_->calendar = gregorian(tz, parts_->locale);
    buildFormats(*parts_);
}

Calendar::~Calendar() = default;
Calendar::Calendar(Calendar&&) noexcept = default;
Calendar& Calendar::operator=(Calendar&&) noexcept = default;

std::string userLocale() {
    for (const char* name : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value) continue;
        std::string id(value);
        id = id.substr(0, id.find_first_of(".@"));
        if (id == "C" || id == "POSIX") break;
        if (!id.empty()) return id;
    }
    return icu::Locale::getDefault().getName();
}

Calendar Calendar::current() {
    // Read from the system each time: ICU's default zone is the one of its first look.
    std::unique_ptr<icu::TimeZone> tz(icu::TimeZone::detectHostTimeZone());
    icu::UnicodeString id;
    tz->getID(id);
    return Calendar(utf8(id), userLocale());
}

std::string Calendar::locale() const {
    return parts_->locale.getName();
}

std::string Calendar::zone() const {
    icu::UnicodeString id;
    parts_->calendar->getTimeZone().getID(id);
    return utf8(id);
}

Instant Calendar::dayStart(Instant t) const {
    return atClock(t, 0, 0).value_or(t);
}

Instant Calendar::addDays(Instant t, int days) const {
    UErrorCode status = U_ZERO_ERROR;
    icu::Calendar& cal = *parts_->calendar;
    cal.setTime(toUDate(t), status);
    cal.add(UCAL_DATE, days, status);
    UDate d = cal.getTime(status);
    // Fails only for instants far outside any calendar; a day is then 86400 seconds.
    if (U_FAILURE(status)) return t + std::chrono::days{days};
    return fromUDate(d);
}

Instant Calendar::addMinutes(Instant t, int minutes) const {
    return t + std::chrono::minutes{minutes};
}

int Calendar::weekday(Instant t) const {
    UErrorCode status = U_ZERO_ERROR;
    icu::Calendar& cal = *parts_->calendar;
    cal.setTime(toUDate(t), status);
    return cal.get(UCAL_DAY_OF_WEEK, status);
}

int Calendar::minuteOfDay(Instant t) const {
    UErrorCode status = U_ZERO_ERROR;
    icu::Calendar& cal = *parts_->calendar;
    cal.setTime(toUDate(t), status);
    int h = cal.get(UCAL_HOUR_OF_DAY, status);
    int m = cal.get(UCAL_MINUTE, status);
    return h * 60 + m;
}

std::chrono::year_month_day Calendar::date(Instant t) const {
    UErrorCode status = U_ZERO_ERROR;
    icu::Calendar& cal = *parts_->calendar;
    cal.setTime(toUDate(t), status);
    const int year = cal.get(UCAL_EXTENDED_YEAR, status);
    const int month = cal.get(UCAL_MONTH, status) + 1;
    const int day = cal.get(UCAL_DATE, status);
    // Fails only for instants far outside any calendar: the date in UTC then.
    if (U_FAILURE(status)) return std::chrono::floor<std::chrono::days>(t);
    return std::chrono::year_month_day{std::chrono::year{year}, std::chrono::month{unsigned(month)},
                                       std::chrono::day{unsigned(day)}};
}

int Calendar::firstWeekday() const {
    UErrorCode status = U_ZERO_ERROR;
    return parts_->calendar->getFirstDayOfWeek(status);
}

std::optional<Instant> Calendar::atClock(Instant day, int hour, int minute) const {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    icu::Calendar& cal = *parts_->calendar;
    cal.setTime(toUDate(day), status);
    cal.set(UCAL_HOUR_OF_DAY, hour);
    cal.set(UCAL_MINUTE, minute);
    cal.set(UCAL_SECOND, 0);
    cal.set(UCAL_MILLISECOND, 0);
    UDate d = cal.getTime(status);
    if (U_FAILURE(status)) return std::nullopt;
    return fromUDate(d);
}

std::optional<Instant> Calendar::nextChange(Instant from) const {
    const auto* zone = dynamic_cast<const icu::BasicTimeZone*>(&parts_->calendar->getTimeZone());
    if (!zone) return from;  // unknown rules: treat every instant as a change
    icu::TimeZoneTransition next;
    if (!zone->getNextTransition(toUDate(from), /*inclusive=*/true, next)) return std::nullopt;
    return fromUDate(next.getTime());
}

}  // namespace tarrow
