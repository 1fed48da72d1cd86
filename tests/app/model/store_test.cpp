// The store's dealings with a config.json that is partly or wholly unreadable.

#include "app/model/store.h"

#include <gtest/gtest.h>

#include "app/model/config_json.h"
#include "tests/model/model_files.h"

namespace tarrow {
namespace {

using namespace testing_files;

struct Logged {
    std::vector<std::string> lines;
    LogFn fn() {
        return [this](std::string_view line) { lines.emplace_back(line); };
    }
};

const std::string oddFile =
    R"({"sites":[{"id":"0F8FAD5B-D9CB-469F-A165-70867728950E","domain":"example.com",)"
    R"("enabled":true}],"manualOn":true,"schedules":[)"
    R"({"id":"7C9E6679-7425-40DE-944B-E07FC1F90AE7","enabled":true,"days":[2],"start":480.0,"end":720},)"
    R"({"id":"3F2504E0-4F89-11D3-9A0C-0305E82C3301","enabled":true,"days":[3],"start":4800000000,"end":720}]})";

TEST(StoreOddNumbers, OnlyTheOddScheduleIsLeftOutAndTheFileIsKeptAsItWas) {
    TempFolder dir;
    put(dir / "config.json", oddFile);
    Logged log;
    Store store(dir.path(), log.fn());
    ASSERT_EQ(store.config().sites.size(), 1u);
    ASSERT_EQ(store.config().schedules.size(), 1u);
    EXPECT_EQ(store.config().schedules[0].start, 480);
    EXPECT_TRUE(store.config().manualOn);
    EXPECT_EQ(log.lines, std::vector<std::string>{
                             "config.json: schedule 2 left out: start 4800000000 is out of range; "
                             "the file as it was is kept as config.broken.json"});
    EXPECT_EQ(contents(dir / "config.json"), oddFile) << "reading writes nothing";

    Config c = store.config();
    c.manualOn = false;
    store.setConfig(c);
    EXPECT_EQ(decodeConfig(contents(dir / "config.json").value()), c);
    EXPECT_EQ(contents(dir / "config.broken.json"), oddFile) << "the hand edit is not lost";
    EXPECT_EQ(log.lines.size(), 1u);
}

TEST(StoreOddNumbers, AnEarlierCopyIsNotReplaced) {
    TempFolder dir;
    put(dir / "config.json", oddFile);
    put(dir / "config.broken.json", "older");
    Logged log;
    Store store(dir.path(), log.fn());
    EXPECT_EQ(contents(dir / "config.broken.json"), "older");
    EXPECT_EQ(contents(dir / "config.broken.1.json"), oddFile);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].find("kept as config.broken.1.json"), std::string::npos) << log.lines[0];
}

// While config.json cannot be moved aside, every save tries again, but the lasting
// failure is logged once; its end is logged too.
TEST(StoreSetAside, ALastingFailureIsLoggedOncePerChange) {
    TempFolder dir;
    put(dir / "config.broken.json", "old");
    for (int n = 1; n < 1000; ++n)
        put(dir / ("config.broken." + std::to_string(n) + ".json"), "old");
    put(dir / "config.json", "{unreadable");
    Logged log;
    Store store(dir.path(), log.fn());
    Config c = store.config();
    for (int i = 0; i < 5; ++i) {
        c.manualOn = !c.manualOn;
        store.setConfig(c);
    }
    const std::string stuck = "config.json unreadable, could not move it aside: cannot move " +
                              (dir / "config.json") + ": File exists";
    EXPECT_EQ(log.lines, std::vector<std::string>{stuck});
    EXPECT_EQ(contents(dir / "config.json"), "{unreadable") << "never written over";

    std::filesystem::remove(dir / "config.broken.7.json");
    c.manualOn = !c.manualOn;
    store.setConfig(c);
    c.manualOn = !c.manualOn;
    store.setConfig(c);
    EXPECT_EQ(log.lines, (std::vector<std::string>{
                             stuck, "config.json unreadable, moved to config.broken.7.json"}));
    EXPECT_EQ(contents(dir / "config.broken.7.json"), "{unreadable");
}

}  // namespace
}  // namespace tarrow
