#include "app/model/schedules_texts.h"

#include <gtest/gtest.h>

#include "app/model/calendar.h"

namespace tarrow {
namespace {

TEST(SchedulesTexts, RowLinesFollowTheDescription) {
    const Calendar calendar("Europe/Berlin", "en_US");
    const ScheduleRowTexts texts =
        scheduleRowTexts(Schedule{"x", false, {2, 3, 4, 5, 6}, 540, 720}, calendar);
    EXPECT_EQ(texts.removeName, "Remove schedule Weekdays, 09:00\u201312:00");
    EXPECT_EQ(texts.offCaption, "Off \u2013 switch on to say tarrow on Weekdays, 09:00\u201312:00");
}

}  // namespace
}  // namespace tarrow
