// A strict lock holds its names until its end (across emptied requests and restarts: the
// strict-lock script); it is lengthened, never shortened; a clock set while it runs moves its end
// with it; a lock file that is not root's own is set aside, never trusted.

#include "helper/strict_lock.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "common/strict_lock_text.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using namespace tarrow;
using namespace tarrow::test;
using namespace std::chrono_literals;
using Names = std::vector<std::string>;

namespace {

const std::chrono::sys_seconds start{std::chrono::sys_days{std::chrono::year{2026} / 12 / 7}};

struct Rig {
    TempFolder folder;
    std::chrono::sys_seconds wall = start;
    std::chrono::nanoseconds boot = 100s;
    Names lines;
    std::string lockPath = folder / "lib/strict-lock";
    std::shared_ptr<StrictKeeper> keeper;

    Rig()
        : keeper(std::make_shared<StrictKeeper>(
              lockPath, ::getuid(),
              StrictClock{[this] { return wall; }, [this] { return boot; }})) {}
    void ask(std::chrono::sys_seconds until, const std::string& names) {
        writeFile(folder / "request/strict-lock", strictLockText(until, std::nullopt, {}) + names);
    }
    Names update() {
        return keeper->update(folder / "request/blocked-hosts", ::getuid(),
                              [this](std::string_view l) { lines.emplace_back(l); });
    }
};

TEST(StrictLock, HoldsUntilItsEnd) {
    Rig rig;
    rig.ask(start + 30min, "a.example\nb.example\n");
    EXPECT_EQ(rig.update(), (Names{"a.example", "b.example"}));
    rig.ask(start + 10min, "a.example\n");
    rig.update();
    EXPECT_EQ(rig.keeper->lock()->until, start + 30min);
    rig.ask(start + 60min, "c.example\n");
    EXPECT_EQ(rig.update(), (Names{"a.example", "b.example", "c.example"}));
    for (const auto& [step, held] : {std::pair{60min - 1s, 3u}, std::pair{1s, 0u}}) {
        rig.wall += step;
        rig.boot += step;
        EXPECT_EQ(rig.update().size(), held);
    }
    EXPECT_FALSE(exists(rig.lockPath));
}

// Each refused request is said once and leaves no lock: an end past or more than a day
// ahead, no valid name, no end line, a "taken" line (the helper's own).
TEST(StrictLock, BadRequestsAreRefused) {
    for (const std::string& text :
         {strictLockText(start - 1s, std::nullopt, {"a.example"}),
          strictLockText(start + 1441min, std::nullopt, {"a.example"}),
          strictLockText(start + 5min, std::nullopt, {"bad name", "localhost"}),
          std::string("a.example\n"), strictLockText(start + 5min, start, {"a.example"})}) {
        Rig rig;
        writeFile(rig.folder / "request/strict-lock", text);
        EXPECT_TRUE(rig.update().empty() && !exists(rig.lockPath)) << text;
        ASSERT_EQ(rig.lines.size(), 1u) << text;
        EXPECT_TRUE(rig.lines[0].starts_with("strict request refused: ")) << rig.lines[0];
    }
}

// The boot clock runs 3 s a step; what the wall clock does beyond that is a jump once
// it adds up past 60 s.
TEST(StrictLock, AClockJumpMovesTheEnd) {
    const std::tuple<int, std::chrono::seconds, std::chrono::seconds> cases[] = {
        {1, 3600s, 3597s}, {1, -3600s, -3603s}, {30, 30s, 810s}, {10, 3s, 0s}};
    for (const auto& [steps, wallStep, shift] : cases) {
        Rig rig;
        rig.ask(start + 30min, "a.example\n");
        for (int i = 0; i <= steps; ++i, rig.wall += wallStep, rig.boot += 3s) rig.update();
        EXPECT_EQ(rig.keeper->lock()->until, start + 30min + shift) << wallStep.count();
    }
}

// Not root's own (another owner, writable by others), a link, a FIFO, too big or not a
// lock: set aside, said once, never trusted.
TEST(StrictLock, ALockFileNotItsOwnIsSetAside) {
    const std::string good = strictLockText(start + 30min, start, {"a.example"});
    const std::function<void(const std::string&)> cases[] = {
        [&](const std::string& p) {
            writeFile(p, good);
            if (::chown(p.c_str(), 65534, 65534) != 0) writeFile(p, "until soon\n");
        },
        [&](const std::string& p) { writeFile(p, good, 0666); },
        [&](const std::string& p) {
            writeFile(p + ".real", good);
            ASSERT_EQ(::symlink((p + ".real").c_str(), p.c_str()), 0);
        },
        [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
        [&](const std::string& p) { writeFile(p, good + std::string(1000000, 'a')); },
        [](const std::string& p) { writeFile(p, "until soon\na.example\n"); },
    };
    for (const auto& make : cases) {
        Rig rig;
        writeFile(rig.folder / "lib/x", "");
        make(rig.lockPath);
        EXPECT_TRUE(rig.update().empty());
        rig.update();
        EXPECT_TRUE(exists(rig.lockPath + ".bad") && rig.lines.size() == 1u)
            << testing::PrintToString(rig.lines);
    }
}

// A lock that cannot be saved is kept in memory and saved once it can be.
TEST(StrictLock, KeptInMemoryWhenItCannotBeSaved) {
    Rig rig;
    writeFile(rig.folder / "lib", "a file where the folder should be");
    rig.ask(start + 30min, "a.example\n");
    EXPECT_EQ(rig.update(), Names{"a.example"});
    EXPECT_EQ(rig.update(), Names{"a.example"});
    ::unlink((rig.folder / "lib").c_str());
    rig.update();
    EXPECT_EQ(readFile(rig.lockPath), strictLockText(start + 30min, start, {"a.example"}));
    EXPECT_EQ(statOf(rig.lockPath).st_mode & 07777, 0644u);
    EXPECT_EQ(rig.lines.size(), 3u) << testing::PrintToString(rig.lines);
}

}  // namespace
