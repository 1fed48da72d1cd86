// The configuration is never lost: config.json reads back what was written, a damaged or
// odd file is refused or read consistently and kept aside, a failed save is said once and
// the next one holds every change, and the earlier product's file is taken over once.

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <random>

#include "app/model/config_json.h"
#include "app/model/migration.h"
#include "app/model/state_folder.h"
#include "app/model/store.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

using namespace test;

const std::string id1 = "0F8FAD5B-D9CB-469F-A165-70867728950E";
const std::string id2 = "7C9E6679-7425-40DE-944B-E07FC1F90AE7";

struct Logged {
    std::vector<std::string> lines;
    LogFn fn() {
        return [this](std::string_view line) { lines.emplace_back(line); };
    }
};

Config onDisk(const TempFolder& dir) {
    return decodeConfig(readFile(dir / "config.json").value_or("")).value_or(Config());
}

TEST(ConfigFile, EveryGeneratedConfigurationReadsBackUnchanged) {
    std::mt19937 random(28);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const std::string domains[] = {"example.com", "xn--bcher-kva.de", "a.b", "", "x\"y\\z"};
    const int numbers[] = {0, 480, 1439, 1440, -5, INT_MIN, INT_MAX};
    for (int round = 0; round < 200; ++round) {
        Config c;
        for (int i = pick(4); i > 0; --i) c.sites.push_back(Site::named(domains[pick(5)], pick(2)));
        for (int i = pick(4); i > 0; --i) {
            std::set<int> days;
            for (int d = -1; d <= 9; ++d)
                if (pick(3) == 0) days.insert(d);
            c.schedules.push_back(
                Schedule::make(pick(2), days, numbers[pick(7)], numbers[pick(7)]));
        }
        auto instant = [&]() -> std::optional<Instant> {
            if (pick(2)) return std::nullopt;
            return Instant{} + std::chrono::seconds(int64_t(random()) * 3);
        };
        c.onUntil = instant(), c.offUntil = instant(), c.strictUntil = instant();
        c.manualOn = pick(2), c.notice = pick(2), c.suggest = pick(2);
        c.strictLocks = pick(2), c.waitToOpen = pick(2);
        ASSERT_EQ(decodeConfig(encodeConfig(c)), c) << encodeConfig(c);
    }
    // Bytes that are not UTF-8 never fail a write.
    EXPECT_EQ(decodeConfig(encodeConfig(Config({{id1, "bad\xFF", true}}, {})))->sites[0].domain,
              "bad\uFFFD");
}

// Every one-byte change or cut of a good file is refused or reads as a configuration that
// survives writing and reading again.
TEST(ConfigFile, DamagedFilesAreRefusedOrReadConsistently) {
    Config c({{id1, "example.com", true}}, {{id2, true, {1, 7}, 1320, 120}});
    c.onUntil = parseIso("2026-10-23T07:25:00Z");
    const std::string good = encodeConfig(c);
    int refused = 0, read = 0;
    for (size_t i = 0; i < good.size(); ++i) {
        for (char r : {'\0', '"', '{', ']', ',', '1', '.', 'e', '-', 'n', '\xFF', ' '}) {
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
            ASSERT_FALSE(decodeConfig(good.substr(0, i))) << i;
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(read, 0);
}

// One representative per kind of text that reads, and per kind that does not.
TEST(ConfigFile, WhatReadsAndWhatIsRefused) {
    const std::string site = R"({"sites":[{"domain":"a.com","enabled":true,"id":)";
    const std::string schedule = R"({"schedules":[{"id":")" + id1 + R"(","enabled":true,)";
    const std::pair<std::string, Config> reads[] = {
        {"\xEF\xBB\xBF{\"manualOn\":null,\"theme\":[1]}", Config()},
        {site + "\"" + id1 + "\",\"x\":1}]}", Config({{id1, "a.com", true}}, {})},
    };
    for (const auto& [text, config] : reads) EXPECT_EQ(decodeConfig(text), config) << text;
    const std::string refused[] = {
        R"({"manualOn":"true"})",
        R"({"onUntil":"2026-10-23T07:25:00.5Z"})",
        site + "\"0F8FAD5B-D9CB-469F-A165-70867728950\"}]}",
        R"({"sites":[{"domain":"a.com","enabled":true}]})",
        schedule + R"("days":["2"],"start":1,"end":2}]})",
    };
    for (const std::string& text : refused) EXPECT_FALSE(decodeConfig(text)) << text;
}

// A hand-edited number costs at most its own schedule, and says why in file order.
TEST(ConfigFile, AnOddNumberCostsOnlyItsSchedule) {
    const std::string goodSchedule =
        R"({"id":")" + id2 + R"(","enabled":true,"days":[2],"start":480,"end":720})";
    struct Case {
        std::string start, end, days;
        std::optional<Schedule> read;
        std::string why;
    };
    const Case cases[] = {
        {"4.8e2", "1E3", "[2.0]", Schedule{id1, false, {2}, 480, 1000}, ""},
        {"-2147483648", "2147483647", "[1]", Schedule{id1, false, {1}, INT_MIN, INT_MAX}, ""},
        {"480", "-4800000000", "[2]", std::nullopt, "end -4800000000 is out of range"},
        {"2147483648", "0", "[2]", std::nullopt, "start 2147483648 is out of range"},
        {"480", "1e99", "[2]", std::nullopt, "end 1e+99 is out of range"},
        {"480.5", "720", "[2]", std::nullopt, "start 480.5 is not a whole number"},
        {"480", "720", "[2,4800000000]", std::nullopt, "day 4800000000 is out of range"},
    };
    for (const Case& c : cases) {
        const std::string odd = R"({"id":")" + id1 + R"(","enabled":false,"days":)" + c.days +
                                R"(,"start":)" + c.start + R"(,"end":)" + c.end + "}";
        const std::string text =
            R"({"manualOn":true,"schedules":[)" + odd + "," + goodSchedule + "," + odd + "]}";
        std::optional<ConfigReading> reading = readConfig(text);
        ASSERT_TRUE(reading) << text;
        EXPECT_TRUE(reading->config.manualOn);
        std::vector<Schedule> kept = {Schedule{id2, true, {2}, 480, 720}};
        std::vector<std::string> notes;
        if (c.read)
            kept = {*c.read, kept[0], *c.read};
        else
            notes = {"schedule 1 left out: " + c.why, "schedule 3 left out: " + c.why};
        EXPECT_EQ(reading->config.schedules, kept) << text;
        EXPECT_EQ(reading->leftOut, notes);
    }
}

// Broken files (a plain one, one nested deep enough to exhaust a recursive reader, a folder)
// go aside under the next free name; a file with an odd schedule is read without it, kept
// as it was until a change, and then kept aside too.
TEST(StoreLoad, FirstStartAndBrokenFilesSetAsideUnderTheirOwnNames) {
    TempFolder dir;
    Logged log;
    EXPECT_EQ(Store(dir.path, log.fn()).config(), Config::initial());
    EXPECT_EQ(onDisk(dir), Config::initial()) << "the first start writes it";
    writeFile(dir / "config.broken.1.json", "older");
    for (const std::string& bytes : {std::string("{sites: nope"), std::string(100000, '[')}) {
        writeFile(dir / "config.json", bytes);
        EXPECT_EQ(Store(dir.path, log.fn()).config(), Config::initial());
    }
    std::filesystem::remove(dir / "config.json");
    writeFile(dir / "config.json/inside", "kept");
    Store(dir.path, log.fn());
    EXPECT_EQ(readFile(dir / "config.broken.json"), "{sites: nope");
    EXPECT_EQ(readFile(dir / "config.broken.3.json/inside"), "kept");
    EXPECT_EQ(log.lines.back(), "config.json unreadable, moved to config.broken.3.json");
    const std::string odd = R"({"manualOn":true,"schedules":[{"id":")" + id1 +
                            R"(","enabled":true,"days":[3],"start":4800000000,"end":720}]})";
    writeFile(dir / "config.json", odd);
    Store store(dir.path, log.fn());
    EXPECT_EQ(log.lines.back(),
              "config.json: schedule 1 left out: start 4800000000 is out of "
              "range; the file as it was is kept as config.broken.4.json");
    EXPECT_EQ(readFile(dir / "config.json"), odd) << "reading writes nothing";
    Config c = store.config();
    EXPECT_TRUE(c.manualOn && c.schedules.empty());
    c.manualOn = false;
    store.setConfig(c);
    EXPECT_EQ(onDisk(dir), c);
    EXPECT_EQ(readFile(dir / "config.broken.4.json"), odd);
    EXPECT_EQ(readFile(dir / "config.broken.1.json"), "older");
    EXPECT_EQ(log.lines.size(), 4u);
}

// Changes: saved before `changed` is called, a failure said once
// (at once or reported later by a writer thread) and the next write holds every change. A
// folder in the temporary file's place fails even for root.
TEST(StoreChange, AFailedSaveIsSaidOnceAndTheNextSaveHoldsAll) {
    TempFolder dir;
    Logged log;
    Store store(dir.path, log.fn());
    std::optional<Config> savedWhenCalled;
    store.changed = [&] { savedWhenCalled = onDisk(dir); };
    Config c = store.config();
    std::filesystem::create_directory(dir / "config.json.tmp");
    c.manualOn = true;
    store.setConfig(c);
    EXPECT_EQ(log.lines, std::vector<std::string>{"cannot save the settings: cannot write " +
                                                  dir / "config.json.tmp" + ": File exists"});
    EXPECT_TRUE(store.config().manualOn) << "kept in memory";
    std::filesystem::remove(dir / "config.json.tmp");
    c.notice = false;
    store.setConfig(c);
    EXPECT_EQ(savedWhenCalled, c);

    std::vector<FileWrite> handed;
    store.writeFile = [&](FileWrite write) { handed.push_back(std::move(write)); };
    for (const bool on : {false, true, false}) {
        c.manualOn = on;
        store.setConfig(c);
    }
    const Status full = Status::failure("write", dir / "config.json.tmp", ENOSPC);
    for (FileWrite& write : handed) write.done(full);
    c.suggest = false;
    store.setConfig(c);
    handed.back().done(full);
    writeNow(std::move(handed.back()));
    EXPECT_EQ(onDisk(dir), c);
    EXPECT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines.back(), "cannot save the settings: " + full.text());
}

// An unreadable config.json that cannot be moved aside (every name taken) is never written
// over; the lasting failure is said once; once there is room it goes aside.
TEST(StoreSetAside, AFileThatCannotBeSetAsideIsNeverWrittenOver) {
    TempFolder dir;
    writeFile(dir / "config.broken.json", "old");
    for (int n = 1; n < 1000; ++n)
        writeFile(dir / ("config.broken." + std::to_string(n) + ".json"), "old");
    writeFile(dir / "config.json", "{unreadable");
    Logged log;
    Store store(dir.path, log.fn());
    Config c = store.config();
    for (int i = 0; i < 5; ++i) {
        c.manualOn = !c.manualOn;
        store.setConfig(c);
    }
    EXPECT_EQ(readFile(dir / "config.json"), "{unreadable");
    std::filesystem::remove(dir / "config.broken.7.json");
    c.manualOn = !c.manualOn;
    store.setConfig(c);
    EXPECT_EQ(readFile(dir / "config.broken.7.json"), "{unreadable");
    EXPECT_EQ(onDisk(dir), c);
    EXPECT_EQ(log.lines, (std::vector<std::string>{
                             "config.json unreadable, could not move it aside: cannot move " +
                                 (dir / "config.json") + ": File exists",
                             "config.json unreadable, moved to config.broken.7.json"}));
}

TEST(Migration, TakesOverTheEarlierFileOnceAndNeverReplacesAnOwnOne) {
    TempFolder home;
    const std::string folder = home / "data/Tarrow";
    const std::string earlier =
        R"({"sites":[{"id":")" + id1 + R"(","domain":"a.com","enabled":true}],"manualOn":true})";
    Logged log;
    EXPECT_FALSE(migrate(folder, log.fn())) << "nothing to take over";
    writeFile(home / "data/Pinfold/config.json", earlier);
    EXPECT_TRUE(migrate(folder, log.fn()));
    EXPECT_EQ(Store(folder).config(), decodeConfig(earlier));
    EXPECT_EQ(readFile(folder + "/config.json"), earlier) << "taken as it is";
    writeFile(home / "data/Pinfold/config.json", "{}");
    EXPECT_FALSE(migrate(folder, log.fn()));
    EXPECT_EQ(readFile(folder + "/config.json"), earlier);
    EXPECT_EQ(readFile(home / "data/Pinfold/config.json"), "{}") << "copied, not moved";
    EXPECT_EQ(log.lines, std::vector<std::string>{"settings taken over from Pinfold"});
}

// The earlier product's file lies beside the state folder, wherever that is.
TEST(StateFolder, FollowsTheEnvironment) {
    struct Case {
        const char *tarrowHome, *xdgDataHome, *folder;
    };
    const Case cases[] = {
        {nullptr, nullptr, "/home/u/.local/share/Tarrow"},
        {nullptr, "/data/", "/data/Tarrow"},
        {nullptr, "data", "/home/u/.local/share/Tarrow"},
        {"~/x", "/data", "/home/u/x"},
        {"state", nullptr, "/w/state"},
        {"/a/~/b/", nullptr, "/a/~/b"},
    };
    auto set = [](const char* v) { return v ? std::optional<std::string>(v) : std::nullopt; };
    for (const Case& c : cases)
        EXPECT_EQ(folderFor({set(c.tarrowHome), set(c.xdgDataHome), "/home/u", "/w"}), c.folder);
    EXPECT_EQ(pinfoldFile("/srv/t/Tarrow"), "/srv/t/Pinfold/config.json");
    EXPECT_EQ(expandTilde("~root/x", "/home/u"), "/root/x");
    EXPECT_EQ(expandTilde("~no-such-user-here/x", "/home/u"), "~no-such-user-here/x");
}

}  // namespace
}  // namespace tarrow
