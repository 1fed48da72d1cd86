// Counting attempts: the file that cannot be read, the 20-second window, the local day,
// the 90-day cut, writes only when a count changed, and the texts the counts make.

#include "app/model/attempts.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/model/attempts_json.h"
#include "app/model/attempts_texts.h"
#include "app/model/site_lines.h"

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

using std::chrono::days;
using std::chrono::seconds;
using test::exists;
using test::readFile;
using test::TempFolder;
using test::writeFile;

struct Logged {
    std::vector<std::string> lines;
    LogFn fn() {
        return [this](std::string_view line) { lines.emplace_back(line); };
    }
};

const Calendar berlin("Europe/Berlin", "en_US");

Instant at(const char* iso) {
    return parseIso(iso).value();
}

Day dayOf(const char* text) {
    return parseDay(text).value();
}

std::string manyDays(int n) {
    std::string text = R"({"days": {)";
    for (int i = 0; i < n; ++i) {
        if (i > 0) text += ",";
        text += "\"" + dayText(dayOf("2000-01-01") + days{i}) + "\": {\"example.com\": 1}";
    }
    return text + "}}";
}

TEST(AttemptsFile, WhatCannotBeReadIsSetAsideAndCountingStartsAgain) {
    struct Case {
        const char* what;
        std::string text;
        const char* problem;  // in the log line
    };
    const Case cases[] = {
        {"not JSON", "{\"days\": {", "not JSON"},
        {"not UTF-8", "{\"days\": {\"2026-10-23\": {\"\xff.com\": 1}}}", "not UTF-8"},
        {"no such date", R"({"days": {"2026-02-30": {"example.com": 1}}})", "is not a date"},
        {"zero", R"({"days": {"2026-10-23": {"example.com": 0}}})", "count 0 of"},
        {"huge", R"({"days": {"2026-10-23": {"example.com": 18446744073709551615}}})",
         "count 18446744073709551615"},
        {"an address", R"({"days": {"2026-10-23": {"https://example.com/a?b": 1}}})",
         "is not a host name"},
        {"10,000 days", manyDays(10000), "holds 10000 days, more than 92"},
    };
    for (const Case& c : cases) {
        TempFolder dir;
        writeFile(dir / "attempts.json", c.text);
        Logged log;
        Attempts attempts(dir.path, log.fn());
        EXPECT_TRUE(attempts.counts().empty()) << c.what;
        EXPECT_FALSE(exists(dir / "attempts.json")) << c.what;
        EXPECT_EQ(readFile(dir / "attempts.broken.json"), c.text) << c.what << ": kept whole";
        ASSERT_EQ(log.lines.size(), 1u) << c.what;
        EXPECT_NE(log.lines[0].find(c.problem), std::string::npos)
            << c.what << ": " << log.lines[0];
        EXPECT_NE(log.lines[0].find("moved to attempts.broken.json"), std::string::npos)
            << log.lines[0];

        // Counting goes on and writes a file that reads back.
        ASSERT_TRUE(attempts.count("example.com", at("2026-10-23T10:00:00Z"), berlin)) << c.what;
        attempts.save(at("2026-10-23T10:00:05Z"), berlin);
        Attempts again(dir.path);
        EXPECT_EQ(again.today("example.com", at("2026-10-23T10:00:05Z"), berlin), 1) << c.what;
    }
}

// The numbering of broken copies is the store's case: both use the same set-aside.
TEST(AttemptsFile, MissingOrEmptyOfDaysIsNoAttemptYet) {
    for (const char* text : {"", "{}", R"({"days": {}, "later": true})"}) {
        TempFolder dir;
        if (*text) writeFile(dir / "attempts.json", text);
        Logged log;
        Attempts attempts(dir.path, log.fn());
        EXPECT_TRUE(attempts.counts().empty());
        EXPECT_TRUE(log.lines.empty()) << text;
        EXPECT_FALSE(exists(dir / "attempts.broken.json")) << text;
    }
}

// Hits of one site within 20 s of the last counted one are the same attempt.
TEST(AttemptsCount, TwentySecondsMakeOneAttempt) {
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, int>> hits;  // domain, seconds after 10:00:00
        int youtube, reddit;
    };
    const Case cases[] = {
        {"retries and preconnects",
         {{"youtube.com", 0}, {"youtube.com", 1}, {"youtube.com", 19}},
         1,
         0},
        {"20 s later is a new attempt", {{"youtube.com", 0}, {"youtube.com", 20}}, 2, 0},
        {"measured from the counted hit",
         {{"youtube.com", 0}, {"youtube.com", 15}, {"youtube.com", 25}},
         2,
         0},
        {"each site on its own", {{"youtube.com", 0}, {"reddit.com", 1}, {"youtube.com", 2}}, 1, 1},
        {"a clock set back an hour", {{"youtube.com", 3600}, {"youtube.com", 0}}, 2, 0},
        {"a late line just before", {{"youtube.com", 10}, {"youtube.com", 0}}, 1, 0},
    };
    for (const Case& c : cases) {
        TempFolder dir;
        Attempts attempts(dir.path);
        const Instant ten = at("2026-10-23T08:00:00Z");  // 10:00 in Berlin
        for (const auto& [domain, after] : c.hits)
            attempts.count(domain, ten + seconds(after), berlin);
        const Instant later = ten + seconds(4000);
        EXPECT_EQ(attempts.today("youtube.com", later, berlin), c.youtube) << c.what;
        EXPECT_EQ(attempts.today("reddit.com", later, berlin), c.reddit) << c.what;
    }
}

TEST(AttemptsCount, TheDayIsTheLocalDateInTheUsersZone) {
    TempFolder dir;
    Attempts attempts(dir.path);
    // 23:59:30 and 00:00:30 in Berlin (CEST): the same UTC date, two local ones.
    attempts.count("youtube.com", at("2026-10-22T21:59:30Z"), berlin);
    attempts.count("youtube.com", at("2026-10-22T22:00:30Z"), berlin);
    EXPECT_EQ(attempts.counts(), (AttemptCounts{{dayOf("2026-10-22"), {{"youtube.com", 1}}},
                                                {dayOf("2026-10-23"), {{"youtube.com", 1}}}}));
    // The same instant is still the 22nd in New York.
    const Calendar newYork("America/New_York", "en_US");
    EXPECT_EQ(attempts.today("youtube.com", at("2026-10-22T22:00:30Z"), newYork), 1);
    EXPECT_EQ(localDay(at("2026-10-22T22:00:30Z"), newYork), dayOf("2026-10-22"));
}

TEST(AttemptsFile, NinetyDaysAreKeptAndOnlyAChangeIsWritten) {
    TempFolder dir;
    Attempts attempts(dir.path);
    const Instant now = at("2026-10-23T08:00:00Z");
    attempts.count("old.example", now - days{90}, berlin);  // the 91st day back
    attempts.count("kept.example", now - days{89}, berlin);
    attempts.count("youtube.com", now, berlin);
    attempts.count("youtube.com", now + days{2}, berlin);  // counted further east
    attempts.count("youtube.com", now + days{3}, berlin);  // a clock that was wrong
    EXPECT_FALSE(exists(dir / "attempts.json")) << "counting writes nothing";
    attempts.save(now, berlin);
    EXPECT_EQ(decodeAttempts(readFile(dir / "attempts.json").value()).counts,
              (AttemptCounts{{dayOf("2026-07-26"), {{"kept.example", 1}}},
                             {dayOf("2026-10-23"), {{"youtube.com", 1}}},
                             {dayOf("2026-10-25"), {{"youtube.com", 1}}}}));
    std::filesystem::remove(dir / "attempts.json");
    attempts.save(now + seconds(5), berlin);
    EXPECT_FALSE(exists(dir / "attempts.json")) << "nothing changed, nothing written";
    attempts.save(now + days{1}, berlin);
    EXPECT_EQ(readFile(dir / "attempts.json").value_or("").find("2026-07-26"), std::string::npos)
        << "a day too old goes without a new count";

    attempts.forget();
    EXPECT_EQ(readFile(dir / "attempts.json"), "{\n  \"days\": {}\n}\n") << "emptied at once";
}

TEST(AttemptsTexts, CardSitesAndReport) {
    const std::pair<int, const char*> card[] = {{0, ""},
                                                {1, "First try today"},
                                                {2, "2nd try today"},
                                                {3, "3rd try today"},
                                                {11, "11th try today"},
                                                {12, "12th try today"},
                                                {13, "13th try today"},
                                                {21, "21st try today"},
                                                {22, "22nd try today"},
                                                {23, "23rd try today"},
                                                {111, "111th try today"}};
    for (const auto& [n, text] : card) EXPECT_EQ(todayTryLine(n), text) << n;

    EXPECT_EQ(detail("example.com", 0, "en_US"), std::nullopt);
    EXPECT_EQ(detail("example.com", 1, "en_US"), "tried once this week");
    EXPECT_EQ(detail("example.com", 2, "en_US"), "tried twice this week");
    EXPECT_EQ(detail("youtube.com", 14, "en_US"),
              "youtube.com \u00B7 also youtu.be \u00B7 tried 14 times this week");

    const Day today = dayOf("2026-10-23");
    EXPECT_EQ(attemptsReport({}, today), "0 attempts in 7 days\n");
    EXPECT_EQ(attemptsReport({{today, {{"a.example", 1}}}}, today),
              "1      a.example\n"
              "1 attempt in 7 days\n");
    const AttemptCounts counts{
        {today - days{7}, {{"reddit.com", 50}}},  // eight days back: left out
        {today - days{6}, {{"reddit.com", 2}, {"youtube.com", 10}}},
        {today - days{1}, {{"news.example", 3}}},
        {today, {{"youtube.com", 4}, {"reddit.com", 1}, {"b.example", 3}}},
        {today + days{1}, {{"reddit.com", 9}}},  // after today: left out
    };
    EXPECT_EQ(attemptsReport(counts, today),
              "14     youtube.com\n"
              "3      b.example\n"
              "3      news.example\n"
              "3      reddit.com\n"
              "23 attempts in 7 days\n");
}

}  // namespace
}  // namespace tarrow
