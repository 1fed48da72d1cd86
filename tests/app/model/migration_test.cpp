// Taking over the file of an earlier version.

#include "app/model/migration.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/model/config_json.h"
#include "app/model/store.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

using namespace test;

// The earlier version's file: the same format.
const std::string goodFile =
    "{ \"sites\": [ {\"id\": \"0F8FAD5B-D9CB-469F-A165-70867728950E\", \"domain\": "
    "\"example.com\", \"enabled\": true, \"extra\": 1} ],\n \"schedules\": [], "
    "\"manualOn\": true }";

TEST(Migration, TakesOverTheEarlierFileOnce) {
    TempFolder home;
    const std::string folder = home / "data/Tarrow";
    writeFile(home / "data/Pinfold/config.json", goodFile);
    std::vector<std::string> lines;
    const LogFn log = [&](std::string_view line) { lines.emplace_back(line); };
    EXPECT_TRUE(migrate(folder, log));
    EXPECT_EQ(readFile(folder + "/config.json"), goodFile);
    EXPECT_EQ(readFile(home / "data/Pinfold/config.json"), goodFile) << "copied, not moved";
    EXPECT_EQ(lines, std::vector<std::string>{"settings taken over from Pinfold"});

    Store store(folder, log);  // a readable file is taken and not written
    EXPECT_EQ(store.config(), decodeConfig(goodFile));
    EXPECT_TRUE(store.config().manualOn);
    EXPECT_EQ(readFile(folder + "/config.json"), goodFile);

    writeFile(home / "data/Pinfold/config.json", "{}");
    EXPECT_FALSE(migrate(folder, log)) << "an own file is never replaced";
    EXPECT_EQ(lines.size(), 1u);
}

TEST(Migration, NothingToTakeOverLogsNothing) {
    TempFolder home;
    std::vector<std::string> lines;
    const LogFn log = [&](std::string_view line) { lines.emplace_back(line); };
    EXPECT_FALSE(migrate(home / "a/b/Tarrow", log));
    EXPECT_TRUE(std::filesystem::is_directory(home / "a/b/Tarrow"));
    EXPECT_TRUE(lines.empty());

    writeFile(home / "plain", "x");
    EXPECT_FALSE(migrate(home / "plain/Tarrow", log));  // folder cannot be made
    EXPECT_TRUE(lines.empty());
}

}  // namespace
}  // namespace tarrow
