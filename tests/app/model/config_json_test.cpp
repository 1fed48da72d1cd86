#include "app/model/config_json.h"

#include <gtest/gtest.h>

#include "app/model/uuid.h"

namespace tarrow {
namespace {

const char* id1 = "0F8FAD5B-D9CB-469F-A165-70867728950E";
const char* id2 = "7C9E6679-7425-40DE-944B-E07FC1F90AE7";

struct GoodCase {
    const char* name;
    std::string text;
    Config expected;
};

Config make(auto change) {
    Config c;
    change(c);
    return c;
}

class Reads : public testing::TestWithParam<GoodCase> {};

TEST_P(Reads, AsExpected) {
    auto decoded = decodeConfig(GetParam().text);
    ASSERT_TRUE(decoded) << GetParam().text;
    EXPECT_EQ(*decoded, GetParam().expected);
}

const GoodCase goodCases[] = {
    {"empty_object", "{}", Config()},
    {"every_key_null",
     R"({"sites":null,"schedules":null,"manualOn":null,"onUntil":null,"offUntil":null,)"
     R"("notice":null,"suggest":null})",
     Config()},
    {"all_keys",
     std::string(R"({"manualOn":false,"notice":false,"suggest":false,)") +
         R"("onUntil":"2026-10-23T07:25:00Z","offUntil":"2026-10-23T10:00:00Z",)" +
         R"("schedules":[{"id":")" + id2 +
         R"(","enabled":true,"days":[6,2,2,4],"start":480,"end":720}],"sites":[]})",
     make([](Config& c) {
         c.notice = false;
         c.suggest = false;
         c.onUntil = parseIso("2026-10-23T07:25:00Z");
         c.offUntil = parseIso("2026-10-23T10:00:00Z");
         c.schedules = {{id2, true, {2, 4, 6}, 480, 720}};
     })},
    {"lower_case_uuid_and_unknown_keys",
     std::string(R"({"sites":[{"id":"0f8fad5b-d9cb-469f-a165-70867728950e","domain":"a.b",)") +
         R"("enabled":false,"colour":"red"}],"theme":{"x":[1,2]}})",
     make([](Config& c) {
         c.sites = {{id1, "a.b", false}};
     })},
    {"values_not_range_checked",
     std::string(R"({"schedules":[{"id":")") + id2 +
         R"(","enabled":false,"days":[0,9,-3],"start":-5,"end":99999}]})",
     make([](Config& c) {
         c.schedules = {{id2, false, {-3, 0, 9}, -5, 99999}};
     })},
    {"byte_order_mark", "\xEF\xBB\xBF{\"manualOn\":true}",
     make([](Config& c) { c.manualOn = true; })},
};

INSTANTIATE_TEST_SUITE_P(Config, Reads, testing::ValuesIn(goodCases),
                         [](const auto& info) { return std::string(info.param.name); });

std::string siteWith(const std::string& fields) {
    return R"({"sites":[{)" + fields + "}]}";
}

std::string scheduleWith(const std::string& fields) {
    return R"({"schedules":[{)" + fields + "}]}";
}

const std::string goodId = std::string(R"("id":")") + id1 + "\"";

struct BadCase {
    const char* name;
    std::string text;
};

class Unreadable : public testing::TestWithParam<BadCase> {};

TEST_P(Unreadable, GivesNone) {
    EXPECT_FALSE(decodeConfig(GetParam().text)) << GetParam().text;
}

const BadCase badCases[] = {
    {"empty", ""},
    {"not_json", "sites: []"},
    {"array_at_top", "[]"},
    {"not_utf8", "{\"sites\":[{\"id\":\"x\",\"domain\":\"caf\xE9.de\",\"enabled\":true}]}"},
    {"sites_not_array", R"({"sites":{}})"},
    {"manualOn_string", R"({"manualOn":"true"})"},
    {"onUntil_number", R"({"onUntil":1790000000})"},
    {"offUntil_no_zone", R"({"offUntil":"2026-10-23T07:25:00"})"},
    {"site_without_id", siteWith(R"("domain":"a.com","enabled":true)")},
    {"site_malformed_uuid",
     siteWith(R"("id":"0F8FAD5B-D9CB-469F-A165-70867728950","domain":"a.com","enabled":true)")},
    {"schedule_without_days", scheduleWith(goodId + R"(,"enabled":true,"start":1,"end":2)")},
    {"schedule_day_string",
     scheduleWith(goodId + R"(,"enabled":true,"days":["2"],"start":1,"end":2)")},
};

INSTANTIATE_TEST_SUITE_P(Config, Unreadable, testing::ValuesIn(badCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Encode, LeavesOutUnsetInstantsAndWritesUtc) {
    Config c({{id1, "example.com", true}}, {{id2, false, {6, 2}, 480, 720}});
    const std::string text = encodeConfig(c);
    EXPECT_EQ(text.find("Until"), std::string::npos);
    EXPECT_EQ(decodeConfig(text), c);
    // Instants are written as whole seconds in UTC.
    c.onUntil = parseIso("2026-10-23T09:25:00+02:00");
    c.offUntil = parseIso("2027-03-28T01:00:00Z");
    c.strictUntil = parseIso("2026-10-23T08:00:00Z");
    c.strictLocks = c.waitToOpen = true;
    const std::string timed = encodeConfig(c);
    EXPECT_NE(timed.find("\"onUntil\": \"2026-10-23T07:25:00Z\""), std::string::npos) << timed;
    EXPECT_NE(timed.find("\"offUntil\": \"2027-03-28T01:00:00Z\""), std::string::npos) << timed;
    EXPECT_EQ(decodeConfig(timed), c);
}

TEST(Encode, NeverFailsOnBytesThatAreNotUtf8) {
    Config c({{id1, "bad\xFF", true}}, {});
    const std::string text = encodeConfig(c);
    auto back = decodeConfig(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->sites.at(0).domain, "bad\uFFFD");
}

// Hand-edited files: every one-byte change of a good file either is refused or reads
// as a configuration that survives writing and reading again unchanged.
TEST(Decode, DamagedFilesAreRefusedOrReadConsistently) {
    Config c({{id1, "example.com", true}}, {{id2, true, {1, 7}, 1320, 120}});
    c.onUntil = parseIso("2026-10-23T07:25:00Z");
    const std::string good = encodeConfig(c);
    const char replacements[] = {'\0', '"', '{', ']', ',', '1', '.', 'e', '-', 'n', '\xFF', ' '};
    int refused = 0, read = 0;
    for (size_t i = 0; i < good.size(); ++i) {
        for (char r : replacements) {
            std::string damaged = good;
            damaged[i] = r;
            auto decoded = decodeConfig(damaged);
            if (!decoded) {
                ++refused;
                continue;
            }
            ++read;
            ASSERT_EQ(decodeConfig(encodeConfig(*decoded)), decoded) << damaged;
        }
        if (i <= good.rfind('}')) {
            ASSERT_FALSE(decodeConfig(good.substr(0, i))) << "cut after " << i;
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(read, 0);
}

// Hand-edited numbers in config.json: one odd number costs at most its own schedule.

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
    EXPECT_EQ(std::pair(config.sites.size(), config.manualOn), std::pair(size_t(1), true));
    std::vector<Schedule> schedules = {
        Schedule{"7C9E6679-7425-40DE-944B-E07FC1F90AE7", true, {2}, 480, 720}};
    if (c.read) schedules.push_back(*c.read);
    EXPECT_EQ(config.schedules, schedules);
    EXPECT_EQ(reading->leftOut, c.read ? std::vector<std::string>{} : std::vector{c.note});
    EXPECT_EQ(decodeConfig(text), config) << "decodeConfig reads the same";
}

const NumberCase numberCases[] = {
    {"whole_float", "480.0", "720", "[2]", second({2}, 480, 720), ""},
    {"exponent", "4.8e2", "1E3", "[2.0,3]", second({2, 3}, 480, 1000), ""},
    {"int_limits", "-2147483648", "2147483647", "[1]", second({1}, -2147483648, 2147483647), ""},
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
    {"day_beyond_int", "480", "720", "[2,4800000000]", std::nullopt,
     "schedule 2 left out: day 4800000000 is out of range"},
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

}  // namespace
}  // namespace tarrow
