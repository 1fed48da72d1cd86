// Hosts read-back: the cached answer must always equal a fresh read.

#include "app/controller/hosts_readback.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

#include "common/hosts_section.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using tarrow::test::TempFolder;
using tarrow::test::writeFile;

namespace tarrow::app {
namespace {

std::set<std::string> fresh(const std::string& path) {
    Result<HostsText> text = readText(path);
    return text ? blockedNames(text->text) : std::set<std::string>{};
}

void replaceByRename(const std::string& path, const std::string& text) {
    writeFile(path + ".new", text);
    std::filesystem::rename(path + ".new", path);
}

void rewriteInPlace(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "r+");
    ASSERT_TRUE(f);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

struct Clock {
    timespec now{};
    timespec operator()() const { return now; }
};

TEST(HostsReadBack, AgreesWithAFreshReadThroughEveryKindOfChange) {
    TempFolder s;
    const std::string path = s / "hosts";
    const std::string base = "127.0.0.1\tlocalhost\n";
    // Same size on purpose: "a.example" and "b.example" sections are equally long.
    const std::string withA = hostsFile(base, {"a.example"});
    const std::string withB = hostsFile(base, {"b.example"});
    ASSERT_EQ(withA.size(), withB.size());

    auto wallNow = [] {
        timespec t{};
        ::clock_gettime(CLOCK_REALTIME, &t);
        return t;
    };
    timespec later = wallNow();
    later.tv_sec += 3600;  // reads happen long after the writes: every read is trusted
    HostsReadBack settledReader(path, [&] { return later; });
    HostsReadBack liveReader(path);  // the real clock: writes are always recent

    struct Step {
        const char* what;
        std::function<void()> change;
    };
    const std::vector<Step> steps = {
        {"missing file", [] {}},
        {"created", [&] { writeFile(path, withA); }},
        {"unchanged", [] {}},
        {"replaced by rename, same size", [&] { replaceByRename(path, withB); }},
        {"rewritten in place, same size", [&] { rewriteInPlace(path, withA); }},
        {"section removed", [&] { replaceByRename(path, base); }},
        {"made unreadable (a folder)",
         [&] {
             std::filesystem::remove(path);
             std::filesystem::create_directory(path);
         }},
        {"readable again",
         [&] {
             std::filesystem::remove(path);
             writeFile(path, withB);
         }},
        {"rewritten, then its old times put back",
         [&] {
             struct stat before {};
             ::stat(path.c_str(), &before);
             rewriteInPlace(path, withA);
             const timespec times[2] = {before.st_atim, before.st_mtim};
             ::utimensat(AT_FDCWD, path.c_str(), times, 0);
         }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        // The settled reader's clock claims every write is old; keep real writes apart by
        // more than the file system's time granularity so that claim holds.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        step.change();
        EXPECT_EQ(settledReader.blocked(), fresh(path));
        EXPECT_EQ(liveReader.blocked(), fresh(path));
        EXPECT_EQ(settledReader.blocked(), fresh(path)) << "asked twice";
    }
}

TEST(HostsReadBack, SkipsTheReadOnlyForASettledUnchangedFile) {
    TempFolder s;
    const std::string path = s / "hosts";
    writeFile(path, hostsFile("", {"a.example"}));
    timespec t{};
    ::clock_gettime(CLOCK_REALTIME, &t);
    Clock clock{t};
    HostsReadBack reader(path, std::ref(clock));
    reader.blocked();
    EXPECT_TRUE(reader.readLastTime());
    reader.blocked();
    EXPECT_TRUE(reader.readLastTime()) << "written within the last moments: read again";
    clock.now.tv_sec += 10;
    reader.blocked();
    EXPECT_TRUE(reader.readLastTime());
    reader.blocked();
    EXPECT_FALSE(reader.readLastTime()) << "settled and unchanged";
    ::chmod(path.c_str(), 0600);  // a change of the inode's status counts as a change
    reader.blocked();
    EXPECT_TRUE(reader.readLastTime());
}

}  // namespace
}  // namespace tarrow::app
