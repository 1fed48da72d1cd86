#pragma once
// The user's calendar: Gregorian, in one time zone, with one locale's week and texts.
// Made once and reused: every operation works on objects built in the constructor.
// Not thread-safe (the operations reuse one calendar object); use one per thread.

#include <array>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/model/instant.h"

namespace tarrow {

// The locale the user chose for dates and times: LC_ALL, else LC_TIME, else LANG, without
// the encoding ("de_DE.UTF-8" is "de_DE"); ICU's default when none names one.
std::string userLocale();

class Calendar {
  public:
    // zone: an IANA zone id such as "Europe/Berlin" (an unknown id acts as UTC);
    // locale: an ICU locale id such as "de_DE" or "en_US".
    Calendar(std::string_view zone, std::string_view locale);
    ~Calendar();
    Calendar(Calendar&&) noexcept;
    Calendar& operator=(Calendar&&) noexcept;

    // The system's zone as it is now and the user's locale (`userLocale`).
    static Calendar current();

    std::string zone() const;
    std::string locale() const;  // an ICU locale id such as "de_DE"

    // --- Date arithmetic ---
    Instant dayStart(Instant t) const;           // start of the day containing t
    Instant addDays(Instant t, int days) const;  // calendar days, keeping the clock time
    Instant addMinutes(Instant t, int minutes) const;
    int weekday(Instant t) const;                       // 1 Sunday ... 7 Saturday
    int minuteOfDay(Instant t) const;                   // clock hour * 60 + clock minute
    int firstWeekday() const;                           // 1 Sunday ... 7 Saturday
    std::chrono::year_month_day date(Instant t) const;  // the local date of t
    // The instant at a clock time on the day of `day`: a skipped time gives the next one
    // that exists, a repeated one its first occurrence. None for hour or minute out of range.
    std::optional<Instant> atClock(Instant day, int hour, int minute) const;
    // The first change of the zone's offset (or of its rules) at or after `from`; none
    // when the zone never changes again. Between changes every day is 86400 seconds.
    std::optional<Instant> nextChange(Instant from) const;

    // --- Texts in the locale ---
    std::string clock(Instant t) const;                 // short time style, e.g. 12:00 or 12:00 PM
    std::string weekdayShort(Instant t) const;          // pattern "EEE"
    std::string timestamp(Instant t) const;             // "yyyy-MM-dd HH:mm:ss" local time
    std::string shortWeekdaySymbol(int weekday) const;  // 1..7; empty outside

    struct Parts;  // the ICU objects, kept out of this header

  private:
    std::unique_ptr<Parts> parts_;
};

}  // namespace tarrow
