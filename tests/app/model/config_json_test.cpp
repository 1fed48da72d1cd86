// Hand-edited numbers in config.json: one odd number costs at most its own schedule.

#include "app/model/config_json.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

const char* goodSchedule =
    R"({"id":"7C9E6679-7425-40DE-944B-E07FC1F90AE7","enabled":true,"days":[2],"start":480,"end":720})";

// A file with one site, one good schedule, and a second schedule with the given fields.
std::string fileWith(const std::string& start, const std::string& end, const std::string& days) {
    return std::string(R"({"sites":[{"id":"0F8FAD5B-D9CB-469F-A165-70867728950E",)") +
           R"("domain":"example.com","enabled":true}],"manualOn":true,"schedules":[)" +
           goodSchedule + R"(,{"id":"3F2504E0-4F89-11D3-9A0C-0305E82C3301","enabled":false,)" +
           R"("days":)" + days + R"(,"start":)" + start + R"(,"end":)" + end + "}]}";
}

struct NumberCase {
    const char* name;
    std::string start, end, days;
    // The second schedule as read, or none when it is left out with this note.
    std::optional<Schedule> read;
    std::string note;
};

Schedule second(std::set<int> days, int start, int end) {
    return Schedule{"3F2504E0-4F89-11D3-9A0C-0305E82C3301", false, std::move(days), start, end};
}

class OddNumbers : public testing::TestWithParam<NumberCase> {};

TEST_P(OddNumbers, CostAtMostTheirOwnSchedule) {
    const NumberCase& c = GetParam();
    const std::string text = fileWith(c.start, c.end, c.days);
    std::optional<ConfigReading> reading = readConfig(text);
    ASSERT_TRUE(reading) << text;
    const Config& config = reading->config;
    ASSERT_EQ(config.sites.size(), 1u) << "the sites are kept";
    EXPECT_TRUE(config.manualOn);
    ASSERT_GE(config.schedules.size(), 1u);
    EXPECT_EQ(config.schedules[0].start, 480) << "the good schedule is kept";
    if (c.read) {
        ASSERT_EQ(config.schedules.size(), 2u);
        EXPECT_EQ(config.schedules[1], *c.read);
        EXPECT_TRUE(reading->leftOut.empty());
    } else {
        EXPECT_EQ(config.schedules.size(), 1u);
        EXPECT_EQ(reading->leftOut, std::vector<std::string>{c.note});
    }
    EXPECT_EQ(decodeConfig(text), config) << "decodeConfig reads the same";
}

const NumberCase numberCases[] = {
    {"whole_float", "480.0", "720", "[2]", second({2}, 480, 720), ""},
    {"exponent", "4.8e2", "1E3", "[2.0,3]", second({2, 3}, 480, 1000), ""},
    {"negative_zero", "-0.0", "0", "[]", second({}, 0, 0), ""},
    {"int_limits", "-2147483648", "2147483647", "[1]", second({1}, -2147483648, 2147483647), ""},
    {"int_limits_as_floats", "-2147483648.0", "2147483647.0", "[1]",
     second({1}, -2147483648, 2147483647), ""},
    {"start_beyond_int", "4800000000", "720", "[2]", std::nullopt,
     "schedule 2 left out: start 4800000000 is out of range"},
    {"end_below_int", "480", "-4800000000", "[2]", std::nullopt,
     "schedule 2 left out: end -4800000000 is out of range"},
    {"one_past_int", "2147483648", "0", "[2]", std::nullopt,
     "schedule 2 left out: start 2147483648 is out of range"},
    {"float_past_int", "2147483648.0", "0", "[2]", std::nullopt,
     "schedule 2 left out: start 2147483648.0 is out of range"},
    {"beyond_64_bits", "480", "123456789012345678901234567890", "[2]", std::nullopt,
     "schedule 2 left out: end 1.2345678901234568e+29 is out of range"},
    {"fraction", "480.5", "720", "[2]", std::nullopt,
     "schedule 2 left out: start 480.5 is not a whole number"},
    {"tiny_fraction", "480", "720.000000001", "[2]", std::nullopt,
     "schedule 2 left out: end 720.000000001 is not a whole number"},
    {"day_beyond_int", "480", "720", "[2,4800000000]", std::nullopt,
     "schedule 2 left out: day 4800000000 is out of range"},
    {"day_fraction", "480", "720", "[2.5]", std::nullopt,
     "schedule 2 left out: day 2.5 is not a whole number"},
};

INSTANTIATE_TEST_SUITE_P(Config, OddNumbers, testing::ValuesIn(numberCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OddNumbers, EverySchedulesProblemIsNotedInFileOrder) {
    const std::string bad = R"({"id":"3F2504E0-4F89-11D3-9A0C-0305E82C3301","enabled":true,)"
                            R"("days":[],"start":1.5,"end":9e99})";
    const std::string text =
        std::string(R"({"schedules":[)") + bad + "," + goodSchedule + "," + bad + "]}";
    std::optional<ConfigReading> reading = readConfig(text);
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->config.schedules.size(), 1u);
    EXPECT_EQ(reading->leftOut,
              (std::vector<std::string>{"schedule 1 left out: start 1.5 is not a whole number",
                                        "schedule 3 left out: start 1.5 is not a whole number"}));
}

TEST(OddNumbers, WrongTypesStillMakeTheFileUnreadable) {
    for (const std::string start : {"\"480\"", "null", "true", "[480]"}) {
        EXPECT_FALSE(readConfig(fileWith(start, "720", "[2]"))) << start;
    }
    EXPECT_FALSE(readConfig(fileWith("480", "720", "[\"2\"]")));
}

}  // namespace
}  // namespace tarrow
