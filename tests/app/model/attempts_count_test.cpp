// Attempts are counted per site and local day: hits closer than 20 seconds are one, 90 days
// are kept, only a change is written, and a file that cannot be read is set aside.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/model/attempts.h"
#include "app/model/attempts_json.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

using namespace test;
using std::chrono::days;
using std::chrono::seconds;

const Calendar berlin("Europe/Berlin", "en_US");

Day dayOf(const char* text) {
    return parseDay(text).value();
}

TEST(AttemptsFile, WhatCannotBeReadIsSetAsideAndCountingStartsAgain) {
    std::string manyDays = R"({"days": {)";
    for (int i = 0; i < 100; ++i)
        manyDays +=
            (i ? ",\"" : "\"") + dayText(dayOf("2000-01-01") + days{i}) + "\": {\"a.b\": 1}";
    const std::pair<std::string, const char*> cases[] = {
        {"{\"days\": {", "not JSON"},
        {R"({"days": {"2026-02-30": {"example.com": 1}}})", "is not a date"},
        {R"({"days": {"2026-10-23": {"example.com": 0}}})", "count 0 of"},
        {R"({"days": {"2026-10-23": {"https://example.com/a?b": 1}}})", "is not a host name"},
        {manyDays + "}}", "holds 100 days, more than 92"},
    };
    const Instant ten = *parseIso("2026-10-23T10:00:00Z");
    for (const auto& [text, problem] : cases) {
        TempFolder dir;
        writeFile(dir / "attempts.json", text);
        std::vector<std::string> log;
        Attempts attempts(dir.path, [&](std::string_view line) { log.emplace_back(line); });
        EXPECT_TRUE(attempts.counts().empty()) << problem;
        EXPECT_EQ(readFile(dir / "attempts.broken.json"), text) << problem;
        ASSERT_EQ(log.size(), 1u) << problem;
        EXPECT_NE(log[0].find(problem), std::string::npos) << log[0];
        EXPECT_NE(log[0].find("moved to attempts.broken.json"), std::string::npos) << log[0];
        ASSERT_TRUE(attempts.count("example.com", ten, berlin));
        attempts.save(ten, berlin);
        EXPECT_EQ(Attempts(dir.path).today("example.com", ten, berlin), 1) << problem;
    }
}

TEST(AttemptsCount, TwentySecondsMakeOneAttempt) {
    struct Case {
        std::vector<std::pair<const char*, int>> hits;  // domain, seconds after 10:00:00
        int youtube, reddit;
    };
    const Case cases[] = {
        {{{"youtube.com", 0}, {"youtube.com", 1}, {"youtube.com", 19}}, 1, 0},
        {{{"youtube.com", 0}, {"youtube.com", 20}}, 2, 0},
        {{{"youtube.com", 0}, {"youtube.com", 15}, {"youtube.com", 25}}, 2, 0},
        {{{"youtube.com", 0}, {"reddit.com", 1}, {"youtube.com", 2}}, 1, 1},
        {{{"youtube.com", 3600}, {"youtube.com", 0}}, 2, 0},  // a clock set back an hour
        {{{"youtube.com", 10}, {"youtube.com", 0}}, 1, 0},    // a late line just before
    };
    for (const Case& c : cases) {
        TempFolder dir;
        Attempts attempts(dir.path);
        const Instant ten = *parseIso("2026-10-23T08:00:00Z");
        for (const auto& [domain, after] : c.hits)
            attempts.count(domain, ten + seconds(after), berlin);
        const Instant later = ten + seconds(4000);
        EXPECT_EQ(attempts.today("youtube.com", later, berlin), c.youtube) << c.hits.size();
        EXPECT_EQ(attempts.today("reddit.com", later, berlin), c.reddit) << c.hits.size();
    }
}

// The day is the local date; 90 days are kept, and two ahead (a move west); a save writes
// only a change or a day gone too old; a failed write is said once and tried again.
TEST(AttemptsFile, NinetyLocalDaysAreKeptAndOnlyAChangeIsWritten) {
    TempFolder dir;
    std::vector<std::string> logged;
    Attempts attempts(dir.path, [&](std::string_view line) { logged.emplace_back(line); });
    const Instant now = *parseIso("2026-10-22T22:00:30Z");  // 00:00:30 on the 23rd in Berlin
    attempts.count("old.example", now - days{90}, berlin);
    attempts.count("kept.example", now - days{89}, berlin);
    attempts.count("youtube.com", now - seconds(60), berlin);
    attempts.count("youtube.com", now, berlin);
    attempts.count("youtube.com", now + days{2}, berlin);
    attempts.count("youtube.com", now + days{4}, berlin);  // a clock that was wrong
    EXPECT_FALSE(exists(dir / "attempts.json")) << "counting writes nothing";
    std::filesystem::create_directory(dir / "attempts.json.tmp");  // a write that fails
    attempts.save(now, berlin), attempts.save(now, berlin);
    EXPECT_EQ(logged, std::vector<std::string>{"cannot save the attempts: cannot write " +
                                               dir / "attempts.json.tmp" + ": File exists"});
    std::filesystem::remove(dir / "attempts.json.tmp");
    attempts.save(now, berlin);
    // Written day by day as the counts change, the file is what the whole encoder writes.
    EXPECT_EQ(readFile(dir / "attempts.json"),
              encodeAttempts(AttemptCounts{{dayOf("2026-07-26"), {{"kept.example", 1}}},
                                           {dayOf("2026-10-22"), {{"youtube.com", 1}}},
                                           {dayOf("2026-10-23"), {{"youtube.com", 1}}},
                                           {dayOf("2026-10-25"), {{"youtube.com", 1}}}}));
    std::filesystem::remove(dir / "attempts.json");
    attempts.save(now + seconds(5), berlin);
    EXPECT_FALSE(exists(dir / "attempts.json")) << "nothing changed, nothing written";
    attempts.save(now + days{1}, berlin);
    EXPECT_EQ(readFile(dir / "attempts.json").value_or("").find("2026-07-26"), std::string::npos);
}

}  // namespace
}  // namespace tarrow
