#include "app/model/store.h"

#include <gtest/gtest.h>

#include "app/model/config_json.h"
#include "app/model/migration.h"
#include "model_files.h"

namespace tarrow {
namespace {

using namespace testing_files;

const std::string goodFile =
    "{ \"sites\": [ {\"id\": \"0F8FAD5B-D9CB-469F-A165-70867728950E\", \"domain\": "
    "\"example.com\", \"enabled\": true, \"extra\": 1} ],\n \"schedules\": [], "
    "\"manualOn\": true }";

struct Logged {
    std::vector<std::string> lines;
    LogFn fn() {
        return [this](std::string_view line) { lines.emplace_back(line); };
    }
};

TEST(StoreLoad, FirstStartWritesTheInitialConfiguration) {
    TempFolder dir;
    Logged log;
    Store store(dir.path(), log.fn());
    EXPECT_EQ(store.config(), Config::initial());
    EXPECT_EQ(decodeConfig(contents(dir / "config.json").value()), Config::initial());
    EXPECT_TRUE(log.lines.empty());
}

struct BrokenCase {
    const char* name;
    std::string bytes;
};

class StoreBroken : public testing::TestWithParam<BrokenCase> {};

TEST_P(StoreBroken, IsSetAsideAndReplacedByTheInitialConfiguration) {
    TempFolder dir;
    put(dir / "config.json", GetParam().bytes);
    Logged log;
    Store store(dir.path(), log.fn());
    EXPECT_EQ(store.config(), Config::initial());
    EXPECT_EQ(contents(dir / "config.broken.json"), GetParam().bytes);
    EXPECT_EQ(decodeConfig(contents(dir / "config.json").value()), Config::initial());
    EXPECT_EQ(log.lines,
              std::vector<std::string>{"config.json unreadable, moved to config.broken.json"});
}

const BrokenCase brokenCases[] = {
    {"empty", ""},
    {"not_json", "{sites: nope"},
    {"not_utf8", "{\"sites\": [], \"x\": \"\xC3\x28\"}"},
    {"site_without_id", R"({"sites":[{"domain":"a.com","enabled":true}]})"},
    {"huge_junk", std::string(8 << 20, 'x')},
    {"deeply_nested", std::string(100000, '[')},
};

INSTANTIATE_TEST_SUITE_P(Files, StoreBroken, testing::ValuesIn(brokenCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StoreLoad, HugeValidFileLoads) {
    TempFolder dir;
    Config big;
    for (int i = 0; i < 50000; ++i)
        big.sites.push_back(Site::named("site" + std::to_string(i) + ".com"));
    put(dir / "config.json", encodeConfig(big));
    Store store(dir.path());
    EXPECT_EQ(store.config(), big);
}

TEST(StoreLoad, EarlierBrokenCopiesAreKeptUnderNumberedNames) {
    TempFolder dir;
    put(dir / "config.broken.json", "first");
    put(dir / "config.broken.1.json", "second");
    Logged log;
    for (const char* bytes : {"third", "fourth"}) {
        put(dir / "config.json", bytes);
        Store store(dir.path(), log.fn());
        EXPECT_EQ(store.config(), Config::initial());
    }
    EXPECT_EQ(contents(dir / "config.broken.json"), "first");
    EXPECT_EQ(contents(dir / "config.broken.1.json"), "second");
    EXPECT_EQ(contents(dir / "config.broken.2.json"), "third");
    EXPECT_EQ(contents(dir / "config.broken.3.json"), "fourth");
    EXPECT_EQ(log.lines,
              (std::vector<std::string>{"config.json unreadable, moved to config.broken.2.json",
                                        "config.json unreadable, moved to config.broken.3.json"}));
}

TEST(StoreLoad, UnreadableFileThatCannotBeSetAsideIsNotOverwritten) {
    TempFolder dir;
    put(dir / "config.broken.json", "old");
    for (int n = 1; n < 1000; ++n)
        put(dir / ("config.broken." + std::to_string(n) + ".json"), "old");
    put(dir / "config.json", "the only copy");
    Logged log;
    Store store(dir.path(), log.fn());
    EXPECT_EQ(store.config(), Config::initial());
    EXPECT_EQ(contents(dir / "config.json"), "the only copy");
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].rfind("config.json unreadable, could not move it aside: ", 0), 0u)
        << log.lines[0];

    // A later change tries again; once there is room the file goes aside, then the write.
    Config c = store.config();
    c.manualOn = true;
    store.setConfig(c);
    EXPECT_EQ(contents(dir / "config.json"), "the only copy");
    std::filesystem::remove(dir / "config.broken.500.json");
    c.manualOn = false;
    store.setConfig(c);
    EXPECT_EQ(contents(dir / "config.broken.500.json"), "the only copy");
    EXPECT_EQ(decodeConfig(contents(dir / "config.json").value()), c);
    EXPECT_EQ(log.lines.back(), "config.json unreadable, moved to config.broken.500.json");
}

TEST(StoreLoad, SomethingUnreadableIsSetAsideNotOverwritten) {
    TempFolder dir;
    put(dir / "config.json/inside", "kept");  // a folder where the file should be
    Logged log;
    Store store(dir.path(), log.fn());
    EXPECT_EQ(store.config(), Config::initial());
    EXPECT_EQ(contents(dir / "config.broken.json/inside"), "kept");
    EXPECT_TRUE(decodeConfig(contents(dir / "config.json").value_or("")));
    EXPECT_EQ(log.lines.size(), 1u);
}

TEST(StoreLoad, FolderThatCannotBeWrittenKeepsTheConfigurationInMemory) {
    TempFolder dir;
    put(dir / "plain", "a file, so nothing can be made under it");
    Store store(dir / "plain/state");
    EXPECT_EQ(store.config(), Config::initial());
    EXPECT_FALSE(store.save().ok());
    int calls = 0;
    store.changed = [&] { ++calls; };
    Config c = store.config();
    c.manualOn = true;
    store.setConfig(c);
    EXPECT_TRUE(store.config().manualOn);
    EXPECT_EQ(calls, 1);
}

// A save that fails is said in the log; the change holds in memory and reaches the file
// with the next change. (A folder in the temporary file's place fails even for root.)
TEST(StoreChange, AFailedSaveIsLoggedAndTheNextChangeSavesIt) {
    TempFolder dir;
    Logged log;
    Store store(dir.path(), log.fn());
    std::filesystem::create_directory(dir / "config.json.tmp");
    Config c = store.config();
    c.manualOn = true;
    store.setConfig(c);
    EXPECT_EQ(log.lines, std::vector<std::string>{"cannot save the settings: cannot write " +
                                                  dir / "config.json.tmp" + ": File exists"});
    EXPECT_TRUE(store.config().manualOn) << "kept in memory";
    EXPECT_FALSE(decodeConfig(contents(dir / "config.json").value_or(""))->manualOn);

    std::filesystem::remove(dir / "config.json.tmp");
    c.notice = false;
    store.setConfig(c);
    EXPECT_EQ(decodeConfig(contents(dir / "config.json").value_or("")), c) << "both changes";
    EXPECT_EQ(log.lines.size(), 1u);
}

TEST(StoreChange, UnchangedAssignmentWritesNothingAndCallsNothing) {
    TempFolder dir;
    Store store(dir.path());
    std::filesystem::remove(dir / "config.json");
    int calls = 0;
    std::vector<StoreField> seen;
    store.changed = [&] { ++calls; };
    store.observe([&](StoreField f) { seen.push_back(f); });
    store.setConfig(store.config());
    EXPECT_FALSE(exists(dir / "config.json"));
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(seen, std::vector<StoreField>{StoreField::config});
}

TEST(StoreChange, ChangeIsSavedBeforeChangedIsCalled) {
    TempFolder dir;
    Store store(dir.path());
    std::optional<Config> onDiskWhenCalled;
    store.changed = [&] { onDiskWhenCalled = decodeConfig(contents(dir / "config.json").value()); };
    Config c = store.config();
    c.onUntil = parseIso("2026-10-23T07:25:00Z");
    store.setConfig(c);
    EXPECT_EQ(onDiskWhenCalled, c);

    c.onUntil.reset();
    store.setConfig(c);
    const std::string text = contents(dir / "config.json").value();
    EXPECT_EQ(text.find("onUntil"), std::string::npos) << text;
    EXPECT_EQ(Store(dir.path()).config(), c);
}

TEST(StoreFields, EveryWriteIsAnnounced) {
    TempFolder dir;
    Store store(dir.path());
    std::vector<StoreField> seen;
    store.observe([&](StoreField f) { seen.push_back(f); });
    store.setTab(Tab::general);
    store.setHelper(Helper::working);
    store.setStatus("Everything open");
    store.setBrowsers({{"org.example.browser", "Example", Consent::granted}});
    store.setSuggestions({{"example.com", 12}});
    store.setSuggesting(true);
    store.setLockedBrowsers({"Firefox"});
    store.setSuggesting(true);
    EXPECT_EQ(seen, (std::vector<StoreField>{StoreField::tab, StoreField::helper,
                                             StoreField::status, StoreField::browsers,
                                             StoreField::suggestions, StoreField::suggesting,
                                             StoreField::lockedBrowsers, StoreField::suggesting}));
}

TEST(Migration, TakesOverTheEarlierFileOnce) {
    TempFolder home;
    const std::string folder = home / "data/Tarrow";
    put(home / "data/Pinfold/config.json", goodFile);
    Logged log;
    EXPECT_TRUE(migrate(folder, log.fn()));
    EXPECT_EQ(contents(folder + "/config.json"), goodFile);
    EXPECT_EQ(contents(home / "data/Pinfold/config.json"), goodFile) << "copied, not moved";
    EXPECT_EQ(log.lines, std::vector<std::string>{"settings taken over from Pinfold"});

    Store store(folder, log.fn());  // a readable file is taken and not written
    EXPECT_EQ(store.config(), decodeConfig(goodFile));
    EXPECT_TRUE(store.config().manualOn);
    EXPECT_EQ(contents(folder + "/config.json"), goodFile);

    put(home / "data/Pinfold/config.json", "{}");
    EXPECT_FALSE(migrate(folder, log.fn())) << "an own file is never replaced";
    EXPECT_EQ(log.lines.size(), 1u);
}

TEST(Migration, NothingToTakeOverLogsNothing) {
    TempFolder home;
    Logged log;
    EXPECT_FALSE(migrate(home / "a/b/Tarrow", log.fn()));
    EXPECT_TRUE(std::filesystem::is_directory(home / "a/b/Tarrow"));
    EXPECT_TRUE(log.lines.empty());

    put(home / "plain", "x");
    EXPECT_FALSE(migrate(home / "plain/Tarrow", log.fn()));  // folder cannot be made
    EXPECT_TRUE(log.lines.empty());
}

TEST(Migration, BrokenEarlierFileIsSetAsideLikeAnyOther) {
    TempFolder home;
    put(home / "Pinfold/config.json", "not json");
    Logged log;
    ASSERT_TRUE(migrate(home / "Tarrow", log.fn()));
    Store store(home / "Tarrow", log.fn());
    EXPECT_EQ(store.config(), Config::initial());
    EXPECT_EQ(contents(home / "Tarrow/config.broken.json"), "not json");
    EXPECT_EQ(log.lines.size(), 2u);
}

}  // namespace
}  // namespace tarrow
