#include "app/model/texts.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

Instant t(const char* text) {
    return parseIso(text).value();
}

struct WhenCase {
    const char* name;
    const char* locale;
    const char* date;
    const char* now;
    std::string expected;
};

class When : public testing::TestWithParam<WhenCase> {};

TEST_P(When, NamesTheDayOnlyWhenNotToday) {
    Calendar cal("Europe/Berlin", GetParam().locale);
    EXPECT_EQ(when(t(GetParam().date), t(GetParam().now), cal), GetParam().expected);
}

const WhenCase whenCases[] = {
    {"later_today_24h", "de_DE", "2026-10-23T12:00:00+02:00", "2026-10-23T09:00:00+02:00", "12:00"},
    {"tomorrow_across_25_hour_day", "de_DE", "2026-10-26T00:00:00+01:00",
     "2026-10-25T23:30:00+01:00", "tomorrow 00:00"},
    {"yesterday_has_weekday", "en_GB", "2026-10-22T08:00:00+02:00", "2026-10-23T13:00:00+02:00",
     "Thu 08:00"},
};

INSTANTIATE_TEST_SUITE_P(Locales, When, testing::ValuesIn(whenCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(When, FollowsTheCalendarsZone) {
    // 23:30 in Berlin is already the next day in Tokyo.
    Calendar tokyo("Asia/Tokyo", "en_GB");
    EXPECT_EQ(when(t("2026-10-23T23:30:00+02:00"), t("2026-10-23T12:00:00+02:00"), tokyo),
              "tomorrow 06:30");
}

struct LineCase {
    const char* name;
    bool on;
    Why why;
    std::optional<Instant> end, nextStart;
    const char* status;
    const char* until;
    const char* card;
};

const Instant now = t("2026-10-23T09:00:00+02:00");
const Instant noon = t("2026-10-23T12:00:00+02:00");
const Instant monday = t("2026-10-26T08:00:00+01:00");

class Lines : public testing::TestWithParam<LineCase> {};

TEST_P(Lines, SayWhyAndUntilWhen) {
    Calendar cal("Europe/Berlin", "de_DE");
    const LineCase& c = GetParam();
    const Evaluation evaluation{c.on, c.why, c.end, c.nextStart};
    EXPECT_EQ(statusLine(evaluation, now, cal), c.status);
    EXPECT_EQ(untilLine(evaluation, now, cal), c.until);
    EXPECT_EQ(cardLine(evaluation, now, cal), c.card);
}

const LineCase lineCases[] = {
    {"timed", true, Why::timed(t("2026-10-23T09:25:00+02:00")), noon, monday,
     "Tarrow – until 09:25", "until 09:25", "Blocked until 09:25."},
    {"schedule", true, Why::schedule(noon), noon, monday, "Tarrow – until 12:00, on schedule",
     "until 12:00, on schedule", "Blocked until 12:00, on schedule."},
    {"paused", false, Why::paused(noon), noon, monday, "Okay, now – schedule skipped until 12:00",
     "until you say okay", "Blocked until you say okay."},
    {"manual", true, Why::manual(), std::nullopt, std::nullopt, "Tarrow – until you say okay",
     "until you say okay", "Blocked until you say okay."},
    {"off_with_next", false, Why::off(), std::nullopt, monday,
     "Everything open – next schedule Mo. 08:00", "until you say okay",
     "Blocked until you say okay."},
};

INSTANTIATE_TEST_SUITE_P(Why, Lines, testing::ValuesIn(lineCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MinutesText, IsTwentyFourHourWhateverTheLocale) {
    const std::pair<int, const char*> cases[] = {
        {0, "00:00"},   {480, "08:00"}, {1439, "23:59"},   {1440, "00:00"},
        {-30, "23:30"}, {61, "01:01"},  {100000, "10:40"},
    };
    for (auto [m, text] : cases) EXPECT_EQ(minutesText(m), text) << m;
}

TEST(OrderedWeekdays, StartsOnTheLocalesFirstDay) {
    EXPECT_EQ(orderedWeekdays(Calendar("UTC", "en_US")), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(orderedWeekdays(Calendar("UTC", "de_DE")), (std::vector<int>{2, 3, 4, 5, 6, 7, 1}));
    EXPECT_EQ(orderedWeekdays(Calendar("UTC", "ar_EG")), (std::vector<int>{7, 1, 2, 3, 4, 5, 6}));
}

struct DescribeCase {
    const char* name;
    const char* locale;
    std::set<int> days;
    int start, end;
    const char* expected;
};

class Describe : public testing::TestWithParam<DescribeCase> {};

TEST_P(Describe, NamesDaysAndTimes) {
    const DescribeCase& c = GetParam();
    Calendar cal("Europe/Berlin", c.locale);
    EXPECT_EQ(describe(Schedule{"", true, c.days, c.start, c.end}, cal), c.expected);
}

const DescribeCase describeCases[] = {
    {"weekdays", "en_US", {2, 3, 4, 5, 6}, 480, 720, "Weekdays, 08:00–12:00"},
    {"every_day_all_day", "de_DE", {1, 2, 3, 4, 5, 6, 7}, 300, 300, "Every day, all day"},
    {"monday_first_english", "en_GB", {2, 4, 6}, 1320, 120, "Mon, Wed, Fri, 22:00–02:00"},
    {"numbers_outside_the_week_left_out", "en_GB", {0, 3, 8}, 480, 720, "Tue, 08:00–12:00"},
};

INSTANTIATE_TEST_SUITE_P(Locales, Describe, testing::ValuesIn(describeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Timestamp, IsFixedDigitsInLocalTime) {
    Calendar cal("Europe/Berlin", "ar_EG");
    EXPECT_EQ(cal.timestamp(t("2026-10-25T01:30:00Z")), "2026-10-25 02:30:00");
}

TEST(UserLocale, TimeSettingWinsOverLanguageAndEncodingIsDropped) {
    struct Env {
        const char *all, *time, *lang, *expected;
    };
    const Env cases[] = {
        {nullptr, "de_DE.UTF-8", "en_US.UTF-8", "de_DE"},
        {"en_GB.UTF-8@euro", "de_DE.UTF-8", "en_US", "en_GB"},
        {nullptr, nullptr, "sr_RS@latin", "sr_RS"},
    };
    for (const Env& e : cases) {
        auto set = [](const char* name, const char* value) {
            if (value)
                setenv(name, value, 1);
            else
                unsetenv(name);
        };
        set("LC_ALL", e.all);
        set("LC_TIME", e.time);
        set("LANG", e.lang);
        EXPECT_EQ(userLocale(), e.expected);
    }
    unsetenv("LC_ALL");
    unsetenv("LC_TIME");
    setenv("LANG", "C.UTF-8", 1);
    EXPECT_FALSE(userLocale().empty());  // ICU's own default
    unsetenv("LANG");
}

}  // namespace
}  // namespace tarrow
