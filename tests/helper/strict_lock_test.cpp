#include "helper/strict_lock.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "common/strict_lock_text.h"
#include "helper/pass.h"
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
    std::vector<std::string> lines;
    std::string lockPath = folder / "lib/strict-lock";
    std::string request = folder / "request/blocked-hosts";
    std::unique_ptr<StrictKeeper> keeper;

    Rig() { restart(); }
    void restart() {
        keeper = std::make_unique<StrictKeeper>(
            lockPath, ::getuid(), StrictClock{[this] { return wall; }, [this] { return boot; }});
    }
    void ask(std::chrono::sys_seconds until, const std::string& names) {
        writeFile(folder / "request/strict-lock", strictLockText(until, std::nullopt, {}) + names);
    }
    Names update() {
        return keeper->update(request, ::getuid(),
                              [this](std::string_view l) { lines.emplace_back(l); });
    }
    // Both clocks run on together.
    void pass(std::chrono::seconds s) {
        wall += s;
        boot += s;
    }
};

// Held across an emptied request and a restart, lengthened but never shortened, dropped
// to the second at its end.
TEST(StrictKeeper, HoldsUntilItsEnd) {
    Rig rig;
    rig.ask(start + 30min, "a.example\nb.example\n");
    EXPECT_EQ(rig.update(), (Names{"a.example", "b.example"}));
    ::unlink((rig.folder / "request/strict-lock").c_str());
    rig.pass(3s);
    rig.restart();
    EXPECT_EQ(rig.update(), (Names{"a.example", "b.example"}));
    EXPECT_EQ(statOf(rig.lockPath).st_mode & 07777, 0644u);

    rig.ask(start + 10min, "a.example\n");
    rig.update();
    EXPECT_EQ(rig.keeper->lock()->until, start + 30min);
    rig.ask(start + 60min, "c.example\n");
    EXPECT_EQ(rig.update(), (Names{"a.example", "b.example", "c.example"}));
    EXPECT_EQ(rig.keeper->lock()->until, start + 60min);

    rig.pass(60min - 4s);
    EXPECT_EQ(rig.update().size(), 3u);
    rig.pass(1s);
    EXPECT_TRUE(rig.update().empty());
    EXPECT_FALSE(exists(rig.lockPath));
}

// Root removing the file ends the lock; the strict request seen before is not taken again.
TEST(StrictKeeper, EndsWhenRootRemovesTheFile) {
    Rig rig;
    rig.ask(start + 30min, "a.example\n");
    rig.update();
    ::unlink(rig.lockPath.c_str());
    EXPECT_TRUE(rig.update().empty());
    EXPECT_FALSE(exists(rig.lockPath));
}

TEST(StrictKeeper, RefusesBadRequests) {
    struct Case {
        const char* what;
        std::string text;
    } cases[] = {
        {"end passed", strictLockText(start - 1s, std::nullopt, {"a.example"})},
        {"too far", strictLockText(start + 1441min, std::nullopt, {"a.example"})},
        {"no valid name", strictLockText(start + 5min, std::nullopt, {"bad name", "localhost"})},
        {"no until", "a.example\n"},
        {"a taken line", strictLockText(start + 5min, start, {"a.example"})},
    };
    for (const Case& c : cases) {
        Rig rig;
        writeFile(rig.folder / "request/strict-lock", c.text);
        EXPECT_TRUE(rig.update().empty()) << c.what;
        EXPECT_FALSE(exists(rig.lockPath)) << c.what;
        ASSERT_EQ(rig.lines.size(), 1u) << c.what;
        EXPECT_EQ(rig.lines[0].rfind("strict request refused: ", 0), 0u) << rig.lines[0];
    }
}

TEST(StrictKeeper, AClockJumpMovesTheEnd) {
    struct Case {
        const char* what;
        int steps;
        std::chrono::seconds wallStep;
        std::chrono::seconds expectedShift;
    } cases[] = {
        {"an hour forward", 1, 3600s, 3597s},
        {"an hour back", 1, -3600s, -3603s},
        // 27 s unseen a step add up past 60 s at every third step: 81 s, ten times.
        {"small steps forward", 30, 30s, 810s},
        {"no jump", 10, 3s, 0s},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.ask(start + 30min, "a.example\n");
        rig.update();
        for (int i = 0; i < c.steps; ++i) {
            rig.wall += c.wallStep;
            rig.boot += 3s;
            rig.update();
        }
        EXPECT_EQ(rig.keeper->lock()->until, start + 30min + c.expectedShift) << c.what;
        EXPECT_EQ(rig.update(), Names{"a.example"}) << c.what;
    }
}

TEST(StrictKeeper, SetsAsideALockFileThatIsNotItsOwn) {
    const std::string good = strictLockText(start + 30min, start, {"a.example"});
    struct Case {
        const char* what;
        std::function<void(const std::string&)> make;
    } cases[] = {
        {"other owner",
         [&](const std::string& p) {
             writeFile(p, good);
             ASSERT_EQ(::chown(p.c_str(), 65534, 65534), 0);
         }},
        {"writable by others", [&](const std::string& p) { writeFile(p, good, 0666); }},
        {"link",
         [&](const std::string& p) {
             writeFile(p + ".real", good);
             ASSERT_EQ(::symlink((p + ".real").c_str(), p.c_str()), 0);
         }},
        {"fifo", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"too big", [&](const std::string& p) { writeFile(p, good + std::string(1000000, 'a')); }},
        {"not readable", [](const std::string& p) { writeFile(p, "until soon\na.example\n"); }},
    };
    for (const Case& c : cases) {
        Rig rig;
        writeFile(rig.folder / "lib/x", "");
        c.make(rig.lockPath);
        EXPECT_TRUE(rig.update().empty()) << c.what;
        EXPECT_TRUE(exists(rig.lockPath + ".bad")) << c.what;
        EXPECT_EQ(rig.lines.size(), 1u) << c.what;
        rig.update();
        EXPECT_EQ(rig.lines.size(), 1u) << c.what;
    }
}

TEST(StrictKeeper, KeepsTheLockInMemoryWhenItCannotBeSaved) {
    Rig rig;
    writeFile(rig.folder / "lib", "a file where the folder should be");
    rig.ask(start + 30min, "a.example\n");
    EXPECT_EQ(rig.update(), Names{"a.example"});
    EXPECT_EQ(rig.update(), Names{"a.example"});
    ::unlink((rig.folder / "lib").c_str());
    rig.update();
    EXPECT_EQ(readFile(rig.lockPath), strictLockText(start + 30min, start, {"a.example"}));
    // Taken, cannot save (once), saved.
    EXPECT_EQ(rig.lines.size(), 3u) << testing::PrintToString(rig.lines);
}

TEST(StrictKeeper, ThePassKeepsTheLockedNamesWhenTheRequestIsEmpty) {
    Rig rig;
    HelperState state;
    state.hostsPath = rig.folder / "hosts";
    state.log = [](std::string_view) {};
    state.strict = std::shared_ptr<StrictKeeper>(std::move(rig.keeper));
    writeFile(state.hostsPath, "127.0.0.1 localhost\n");
    writeFile(rig.request, "b.example\n");
    rig.ask(start + 30min, "a.example\n");
    pass(state, rig.request, ::getuid());
    writeFile(rig.request, "");
    pass(state, rig.request, ::getuid());
    const std::string hosts = readFile(state.hostsPath).value_or("");
    EXPECT_NE(hosts.find("0.0.0.0 a.example\n"), std::string::npos) << hosts;
    EXPECT_EQ(hosts.find("b.example"), std::string::npos) << hosts;
}

}  // namespace
