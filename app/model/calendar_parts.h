#pragma once
// The ICU objects behind `Calendar`, shared by its two source files.

#include <unicode/calendar.h>
#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>

#include <array>
#include <memory>
#include <string>

#include "app/model/calendar.h"

namespace tarrow {

struct Calendar::Parts {
    icu::Locale locale;
    std::unique_ptr<icu::Calendar> calendar;  // Gregorian, in the zone
    std::unique_ptr<icu::DateFormat> clock;
    std::unique_ptr<icu::SimpleDateFormat> weekdayShort;
    std::unique_ptr<icu::SimpleDateFormat> timeFormat;
    std::array<std::string, 8> weekdaySymbols;  // index 1..7
};

inline UDate toUDate(Instant t) {
    return static_cast<UDate>(t.time_since_epoch().count()) * 1000.0;
}

Instant fromUDate(UDate d);

std::string utf8(const icu::UnicodeString& s);

}  // namespace tarrow
