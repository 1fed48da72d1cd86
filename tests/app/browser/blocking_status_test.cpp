// The page server's /status answer comes from a stat-checked reading of the hosts file.

#include "app/browser/blocking_status.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "common/file_io.h"
#include "common/hosts_section.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

TEST(BlockingStatus, ReadsTheFileOnlyWhenItChanged) {
    test::TempFolder folder;
    const std::string hosts = folder / "hosts";
    const std::string open = "127.0.0.1 localhost\n";
    const std::string blocked = hostsFile(open, {"a.example"});
    int reads = 0;
    BlockingStatus status([&](const std::string& path) {
        ++reads;
        Result<std::string> text = readRegularFile(path);
        return text.ok() ? std::optional<std::string>(*text) : std::nullopt;
    });
    auto write = [&](const std::string& text) { ASSERT_TRUE(writeAtomically(hosts, text).ok()); };

    struct Step {
        const char* what;
        std::function<void()> change;
        bool blocking;
        int reads;  // in total, after the step
    };
    const std::vector<Step> steps = {
        {"no file", [] {}, false, 0},
        {"file appears", [&] { write(blocked); }, true, 1},
        {"asked again", [] {}, true, 1},
        {"replaced by rename", [&] { write(open); }, false, 2},
        {"rewritten in place, same size",
         [&] {
             std::string same = open;
             same[0] = '#';
             FILE* f = std::fopen(hosts.c_str(), "r+");
             std::fputs(same.c_str(), f);
             std::fclose(f);
         },
         false, 3},
        {"removed", [&] { std::remove(hosts.c_str()); }, false, 3},
        {"back", [&] { write(blocked); }, true, 4},
    };
    for (const auto& step : steps) {
        step.change();
        EXPECT_EQ(status.blocking(hosts), step.blocking) << step.what;
        EXPECT_EQ(reads, step.reads) << step.what;
    }
}

TEST(BlockingStatus, AnotherPathIsReadAfresh) {
    test::TempFolder folder;
    ASSERT_TRUE(writeAtomically(folder / "a", hostsFile("", {"a.example"})).ok());
    ASSERT_TRUE(writeAtomically(folder / "b", "127.0.0.1 localhost\n").ok());
    BlockingStatus status;
    EXPECT_TRUE(status.blocking(folder / "a"));
    EXPECT_FALSE(status.blocking(folder / "b"));
    EXPECT_TRUE(status.blocking(folder / "a"));
}

}  // namespace
}  // namespace tarrow
