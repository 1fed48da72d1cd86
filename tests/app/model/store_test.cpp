// The store's dealings with config.json: first start, broken and odd files, changes and
// their saving, a folder that cannot be written.

#include "app/model/store.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "app/model/config_json.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

using namespace test;

struct Logged {
    std::vector<std::string> lines;
    LogFn fn() {
        return [this](std::string_view line) { lines.emplace_back(line); };
    }
};

TEST(StoreLoad, FirstStartWritesTheInitialConfiguration) {
    TempFolder dir;
    Logged log;
    Store store(dir.path, log.fn());
    EXPECT_EQ(store.config(), Config::initial());
    EXPECT_EQ(decodeConfig(readFile(dir / "config.json").value()), Config::initial());
    EXPECT_TRUE(log.lines.empty());
}

// Which bytes fail to decode is the decoder's table; here a plain case and one nested
// deeply enough to exhaust a recursive reader's stack.
TEST(StoreLoad, ABrokenFileIsSetAsideAndReplacedByTheInitialConfiguration) {
    for (const std::string& bytes : {std::string("{sites: nope"), std::string(100000, '[')}) {
        TempFolder dir;
        writeFile(dir / "config.json", bytes);
        Logged log;
        Store store(dir.path, log.fn());
        EXPECT_EQ(store.config(), Config::initial());
        EXPECT_EQ(readFile(dir / "config.broken.json"), bytes);
        EXPECT_EQ(decodeConfig(readFile(dir / "config.json").value()), Config::initial());
        EXPECT_EQ(log.lines,
                  std::vector<std::string>{"config.json unreadable, moved to config.broken.json"});
    }
}

TEST(StoreLoad, EarlierBrokenCopiesAreKeptUnderNumberedNames) {
    TempFolder dir;
    writeFile(dir / "config.broken.json", "first");
    writeFile(dir / "config.broken.1.json", "second");
    Logged log;
    for (const char* bytes : {"third", "fourth"}) {
        writeFile(dir / "config.json", bytes);
        Store store(dir.path, log.fn());
        EXPECT_EQ(store.config(), Config::initial());
    }
    EXPECT_EQ(readFile(dir / "config.broken.json"), "first");
    EXPECT_EQ(readFile(dir / "config.broken.1.json"), "second");
    EXPECT_EQ(readFile(dir / "config.broken.2.json"), "third");
    EXPECT_EQ(readFile(dir / "config.broken.3.json"), "fourth");
    EXPECT_EQ(log.lines,
              (std::vector<std::string>{"config.json unreadable, moved to config.broken.2.json",
                                        "config.json unreadable, moved to config.broken.3.json"}));
}

TEST(StoreLoad, SomethingUnreadableIsSetAsideNotOverwritten) {
    TempFolder dir;
    writeFile(dir / "config.json/inside", "kept");  // a folder where the file should be
    Logged log;
    Store store(dir.path, log.fn());
    EXPECT_EQ(store.config(), Config::initial());
    EXPECT_EQ(readFile(dir / "config.broken.json/inside"), "kept");
    EXPECT_TRUE(decodeConfig(readFile(dir / "config.json").value_or("")));
    EXPECT_EQ(log.lines.size(), 1u);
}

TEST(StoreLoad, FolderThatCannotBeWrittenKeepsTheConfigurationInMemory) {
    TempFolder dir;
    writeFile(dir / "plain", "a file, so nothing can be made under it");
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
    Store store(dir.path, log.fn());
    std::filesystem::create_directory(dir / "config.json.tmp");
    Config c = store.config();
    c.manualOn = true;
    store.setConfig(c);
    EXPECT_EQ(log.lines, std::vector<std::string>{"cannot save the settings: cannot write " +
                                                  dir / "config.json.tmp" + ": File exists"});
    EXPECT_TRUE(store.config().manualOn) << "kept in memory";
    EXPECT_FALSE(decodeConfig(readFile(dir / "config.json").value_or(""))->manualOn);

    std::filesystem::remove(dir / "config.json.tmp");
    c.notice = false;
    store.setConfig(c);
    EXPECT_EQ(decodeConfig(readFile(dir / "config.json").value_or("")), c) << "both changes";
    EXPECT_EQ(log.lines.size(), 1u);
}

// Saves handed to a writer thread: a full disk reported after the fact is logged once
// for any number of changes, and the next write holds all of them.
TEST(StoreChange, AFailureReportedLaterIsLoggedOnceAndTheNextWriteHoldsAll) {
    TempFolder dir;
    Logged log;
    Store store(dir.path, log.fn());
    std::vector<FileWrite> handed;
    store.writeFile = [&](FileWrite write) { handed.push_back(std::move(write)); };
    Config c = store.config();
    for (const bool on : {true, false, true}) {
        c.manualOn = on;
        store.setConfig(c);
    }
    const Status full = Status::failure("write", dir / "config.json.tmp", ENOSPC);
    for (FileWrite& write : handed) write.done(full);
    EXPECT_EQ(log.lines, std::vector<std::string>{"cannot save the settings: " + full.text()});

    c.notice = false;
    store.setConfig(c);
    writeNow(std::move(handed.back()));
    EXPECT_EQ(decodeConfig(readFile(dir / "config.json").value_or("")), c);
    EXPECT_EQ(log.lines.size(), 1u);
}

TEST(StoreChange, UnchangedAssignmentWritesNothingAndCallsNothing) {
    TempFolder dir;
    Store store(dir.path);
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
    Store store(dir.path);
    std::optional<Config> onDiskWhenCalled;
    store.changed = [&] { onDiskWhenCalled = decodeConfig(readFile(dir / "config.json").value()); };
    Config c = store.config();
    c.onUntil = parseIso("2026-10-23T07:25:00Z");
    store.setConfig(c);
    EXPECT_EQ(onDiskWhenCalled, c);
}

TEST(StoreFields, EveryWriteIsAnnounced) {
    TempFolder dir;
    Store store(dir.path);
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
    store.setStillOpen({{"example.com", {{"example.com", "why"}}}});
    EXPECT_EQ(seen,
              (std::vector<StoreField>{StoreField::tab, StoreField::helper, StoreField::status,
                                       StoreField::browsers, StoreField::suggestions,
                                       StoreField::suggesting, StoreField::lockedBrowsers,
                                       StoreField::suggesting, StoreField::stillOpen}));
}

const std::string oddFile =
    R"({"sites":[{"id":"0F8FAD5B-D9CB-469F-A165-70867728950E","domain":"example.com",)"
    R"("enabled":true}],"manualOn":true,"schedules":[)"
    R"({"id":"7C9E6679-7425-40DE-944B-E07FC1F90AE7","enabled":true,"days":[2],"start":480.0,"end":720},)"
    R"({"id":"3F2504E0-4F89-11D3-9A0C-0305E82C3301","enabled":true,"days":[3],"start":4800000000,"end":720}]})";

TEST(StoreOddNumbers, OnlyTheOddScheduleIsLeftOutAndTheFileIsKeptAsItWas) {
    TempFolder dir;
    writeFile(dir / "config.json", oddFile);
    Logged log;
    Store store(dir.path, log.fn());
    ASSERT_EQ(store.config().sites.size(), 1u);
    ASSERT_EQ(store.config().schedules.size(), 1u);
    EXPECT_EQ(store.config().schedules[0].start, 480);
    EXPECT_TRUE(store.config().manualOn);
    EXPECT_EQ(log.lines, std::vector<std::string>{
                             "config.json: schedule 2 left out: start 4800000000 is out of range; "
                             "the file as it was is kept as config.broken.json"});
    EXPECT_EQ(readFile(dir / "config.json"), oddFile) << "reading writes nothing";

    Config c = store.config();
    c.manualOn = false;
    store.setConfig(c);
    EXPECT_EQ(decodeConfig(readFile(dir / "config.json").value()), c);
    EXPECT_EQ(readFile(dir / "config.broken.json"), oddFile) << "the hand edit is not lost";
    EXPECT_EQ(log.lines.size(), 1u);
}

TEST(StoreOddNumbers, AnEarlierCopyIsNotReplaced) {
    TempFolder dir;
    writeFile(dir / "config.json", oddFile);
    writeFile(dir / "config.broken.json", "older");
    Logged log;
    Store store(dir.path, log.fn());
    EXPECT_EQ(readFile(dir / "config.broken.json"), "older");
    EXPECT_EQ(readFile(dir / "config.broken.1.json"), oddFile);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].find("kept as config.broken.1.json"), std::string::npos) << log.lines[0];
}

// An unreadable config.json that cannot be moved aside (every name taken) is never
// written over. Every save tries again, but the lasting failure is logged once; once there
// is room the file goes aside, the change is written and that is logged too.
TEST(StoreSetAside, AFileThatCannotBeSetAsideIsNeverWrittenOver) {
    TempFolder dir;
    writeFile(dir / "config.broken.json", "old");
    for (int n = 1; n < 1000; ++n)
        writeFile(dir / ("config.broken." + std::to_string(n) + ".json"), "old");
    writeFile(dir / "config.json", "{unreadable");
    Logged log;
    Store store(dir.path, log.fn());
    EXPECT_EQ(store.config(), Config::initial());
    Config c = store.config();
    for (int i = 0; i < 5; ++i) {
        c.manualOn = !c.manualOn;
        store.setConfig(c);
    }
    const std::string stuck = "config.json unreadable, could not move it aside: cannot move " +
                              (dir / "config.json") + ": File exists";
    EXPECT_EQ(log.lines, std::vector<std::string>{stuck});
    EXPECT_EQ(readFile(dir / "config.json"), "{unreadable") << "never written over";

    std::filesystem::remove(dir / "config.broken.7.json");
    c.manualOn = !c.manualOn;
    store.setConfig(c);
    EXPECT_EQ(readFile(dir / "config.broken.7.json"), "{unreadable");
    EXPECT_EQ(decodeConfig(readFile(dir / "config.json").value()), c);
    c.manualOn = !c.manualOn;
    store.setConfig(c);
    EXPECT_EQ(log.lines, (std::vector<std::string>{
                             stuck, "config.json unreadable, moved to config.broken.7.json"}));
}

}  // namespace
}  // namespace tarrow
