#include "app/model/weekday_names.h"

#include <gtest/gtest.h>

#include "app/model/calendar.h"
#include "app/model/texts.h"

namespace tarrow {
namespace {

// The chips in the locale's week, left to right, and one full name.
TEST(WeekdayNames, ChipsInTheLocalesWeek) {
    struct Case {
        const char* locale;
        std::vector<std::string> chips;  // in display order
        std::string monday;
    };
    const Case cases[] = {
        // Every Arabic abbreviation begins with the article: the narrow names tell the
        // days apart. The week starts on Saturday there.
        {"ar_EG", {"س", "ح", "ن", "ث", "ر", "خ", "ج"}, "الاثنين"},
    };
    for (const Case& c : cases) {
        const WeekdayNames names = weekdayNames(c.locale);
        const Calendar calendar("Europe/Berlin", c.locale);
        std::vector<std::string> shown;
        for (int day : orderedWeekdays(calendar)) shown.push_back(names.chip[size_t(day)]);
        EXPECT_EQ(shown, c.chips) << c.locale;
        EXPECT_EQ(names.full[2], c.monday) << c.locale;
    }
}

}  // namespace
}  // namespace tarrow
