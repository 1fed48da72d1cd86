// The controller's tick against real files in a scratch folder.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <filesystem>
#include <functional>

#include "app/model/state_folder.h"
#include "tests/support/rig.h"

namespace tarrow::test {
namespace {

using app::Tarrow;

const std::vector<std::string> youtubeNames = {"youtube.com", "www.youtube.com", "m.youtube.com",
                                               "youtu.be", "www.youtu.be"};

std::string lines(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& n : names) text += n + "\n";
    return text;
}

time_t modified(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mtime : 0;
}

void makeOld(const std::string& path) {
    timeval old[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimes(path.c_str(), old);
}

// --- The command file, run by the tick ---

// Word-level bad input is covered where the words are parsed; here each kind of effect
// and each way of being ignored once, through the tick.
TEST(CommandThroughTick, ChangesTheConfigurationAndLogsKnownWords) {
    struct Case {
        std::string text;
        std::optional<std::string> logged;  // after "command: "
        bool onBefore;
        std::function<void(Config&, Instant)> change;
    };
    const auto nothing = [](Config&, Instant) {};
    const Case cases[] = {
        {"on\n", "on", false, [](Config& c, Instant) { c.manualOn = true; }},
        {"off", "off", true, [](Config& c, Instant) { c.manualOn = false; }},
        {"for 90\n", "for 90", false,
         [](Config& c, Instant now) { c.onUntil = now + std::chrono::minutes(90); }},
        {"lock 2", "lock 2", false,
         [](Config& c, Instant now) { c.onUntil = c.strictUntil = now + std::chrono::minutes(2); }},
        {"ON\n", std::nullopt, false, nothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Rig rig;
        Config expected = configWith({"youtube.com"}, c.onBefore);
        rig.start(expected);
        rig.tick();
        rig.logged.clear();
        rig.command(c.text);
        rig.tick();
        c.change(expected, rig.clock);
        EXPECT_FALSE(exists(fileIn(rig.paths.folder, "command"))) << "a command runs once";
        EXPECT_EQ(rig.countPrefix("command: "), c.logged ? 1 : 0);
        if (c.logged) {
            EXPECT_EQ(rig.count("command: " + *c.logged), 1);
        }
        EXPECT_EQ(rig.store->config(), expected);
        const bool blocking = expected.manualOn || expected.onUntil.has_value();
        EXPECT_EQ(rig.request(), blocking ? lines(youtubeNames) : "")
            << "the same tick requests the names";
    }
}

// --- Writing the request ---

TEST(Request, OffWithOldNamesIsEmptiedOnceAndThenLeftAlone) {
    Rig rig;
    writeFile(rig.paths.request, "youtube.com\n");
    rig.start(configWith({"youtube.com"}, false));
    rig.tick();
    EXPECT_EQ(rig.request(), "");
    EXPECT_EQ(rig.count("okay, now"), 1);
    makeOld(rig.paths.request);
    rig.advance(5);
    rig.tick();
    rig.tick();
    EXPECT_EQ(rig.count("okay, now"), 1);
    EXPECT_EQ(modified(rig.paths.request), 1000000000)
        << "an unchanged empty request is not touched";
}

TEST(Request, ARestartWithTheSameNamesOnlyTouchesTheFile) {
    Rig rig;
    writeFile(rig.paths.request, lines(youtubeNames));
    makeOld(rig.paths.request);
    rig.start(configWith({"youtube.com"}, true));
    rig.tick();
    EXPECT_EQ(rig.countPrefix("tarrow ("), 0);
    EXPECT_GT(modified(rig.paths.request), 1000000000) << "the heartbeat";
}

TEST(Request, OverlappingSitesListEachNameOnceAtItsFirstPlace) {
    Rig rig;
    rig.start(configWith({"youtu.be", "youtube.com"}, true));
    rig.tick();
    EXPECT_EQ(rig.request(), lines({"youtu.be", "www.youtu.be", "m.youtu.be", "youtube.com",
                                    "www.youtube.com", "m.youtube.com"}));
    EXPECT_EQ(rig.count("tarrow (youtu.be, youtube.com)"), 1);
}

TEST(Request, OnWithoutAnEnabledSite) {
    Rig rig;
    Config config = configWith({"youtube.com"}, true);
    config.sites[0].enabled = false;
    rig.start(config);
    rig.tick();
    EXPECT_EQ(rig.request(), "");
    EXPECT_EQ(rig.count("tarrow ()"), 1);
    EXPECT_EQ(rig.store->status(), "Tarrow \u2013 but no site is switched on");
    EXPECT_FALSE(rig.item.blocking);
}

TEST(Request, FollowsEveryChangeOfTheSitesAndTheSwitch) {
    Rig rig;
    rig.start(configWith({"youtube.com", "example.org"}, true));
    rig.tick();
    const std::string example = lines({"example.org", "www.example.org", "m.example.org"});
    struct Step {
        const char* what;
        std::function<void(Config&)> change;
        std::string request;
    };
    const std::vector<Step> steps = {
        {"both sites", [](Config&) {}, lines(youtubeNames) + example},
        {"one disabled", [](Config& c) { c.sites[0].enabled = false; }, example},
        {"renamed", [](Config& c) { c.sites[1].domain = "example.net"; },
         lines({"example.net", "www.example.net", "m.example.net"})},
        {"switched off", [](Config& c) { c.manualOn = false; }, ""},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        Config config = rig.store->config();
        step.change(config);
        rig.store->setConfig(config);  // ticks through the store's change callback
        EXPECT_EQ(rig.request(), step.request);
        rig.applyRequest();
        rig.advance(5);
        rig.tick();
        EXPECT_EQ(rig.item.blocking, !step.request.empty());
        EXPECT_EQ(rig.tarrow->blockingNames().size(),
                  rig.requestLines().size() * !step.request.empty());
    }
}

// Places the request cannot be written to: the failure is logged on every tick and the
// tick goes on (no crash, the state is still derived).
TEST(UnwritableRequest, IsLoggedOnEveryTick) {
    for (bool wholeFolder : {false, true}) {  // the state folder itself cannot be created
        SCOPED_TRACE(wholeFolder);
        TempFolder blocker;
        writeFile(blocker / "file", "a regular file where a folder should be\n");
        Rig rig(HelperFiles::current, wholeFolder ? blocker / "file" + "/home" : "");
        if (!wholeFolder) rig.paths.request = blocker / "file" + "/blocked-hosts";
        rig.start(configWith({"youtube.com"}, true));
        for (int i = 0; i < 3; ++i) {
            rig.tick();
            rig.advance(5);
        }
        EXPECT_EQ(rig.countPrefix("cannot write the request: "), 3);
        EXPECT_EQ(rig.countPrefix("tarrow ("), 0);
        EXPECT_FALSE(rig.tarrow->lastRequest().has_value());
        EXPECT_EQ(rig.store->helper(), Helper::stuck)
            << "nothing was requested, so nothing applied";
    }
}

// --- Timed states ---

TEST(TimedStates, AnExpiredLockIsClearedLoggedAndSaved) {
    Rig rig;
    Config config = configWith({"youtube.com"}, false);
    config.onUntil = rig.clock + std::chrono::minutes(25);
    config.offUntil = rig.clock - std::chrono::minutes(1);
    rig.start(config);
    rig.tick();
    EXPECT_FALSE(rig.store->config().offUntil.has_value()) << "expired, cleared silently";
    EXPECT_EQ(rig.request(), lines(youtubeNames));
    rig.advance(25 * 60);
    rig.tick();
    rig.tick();
    EXPECT_EQ(rig.count("timer over"), 1);
    EXPECT_FALSE(rig.store->config().onUntil.has_value());
    EXPECT_EQ(rig.request(), "") << "the same tick evaluates the cleared configuration";
    std::string saved = readFile(fileIn(rig.paths.folder, "config.json")).value_or("");
    EXPECT_EQ(saved.find("onUntil"), std::string::npos);
}

// --- The helper's state ---

const std::string ordinary = "Tarrow \u2013 until you say okay";
const std::string stuckText = "Blocking isn\u2019t working right now";
const std::string missingText = "Not blocking \u2013 set up needed";

TEST(HelperState, FollowsTheFilesAndTheSection) {
    struct Case {
        const char* name;
        HelperFiles files;
        const char* lagging;  // per tick, 5 s apart: '1' when the section lags behind
        Helper expected;
        int stuckLines;
        std::string status;
    };
    const Case cases[] = {
        {"not installed", HelperFiles::none, "111", Helper::missing, 0, missingText},
        {"other digest keeps the status", HelperFiles::wrongDigest, "111", Helper::outdated, 0,
         ordinary},
        {"differs for 5 s", HelperFiles::current, "1", Helper::working, 0, ordinary},
        {"matches after 5 s", HelperFiles::current, "10", Helper::working, 0, ordinary},
        {"differs for 10 s", HelperFiles::current, "11", Helper::stuck, 1, stuckText},
        {"stuck is logged once", HelperFiles::current, "11111", Helper::stuck, 1, stuckText},
        {"recovers when applied", HelperFiles::current, "1110", Helper::working, 1, ordinary},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.files);
        rig.start(configWith({"youtube.com"}, true));
        for (const char* lags = c.lagging; *lags; ++lags) {
            rig.tick();
            if (*lags == '0') rig.applyRequest();
            rig.advance(5);
        }
        rig.tick();
        EXPECT_EQ(rig.store->helper(), c.expected);
        EXPECT_EQ(rig.count("helper: stuck"), c.stuckLines);
        EXPECT_EQ(rig.store->status(), c.status);
        EXPECT_EQ(rig.item.dimmed, c.expected == Helper::missing);
    }
}

TEST(HelperState, AnUnreadableHostsFileCountsAsAnEmptySection) {
    Rig rig;
    rig.start(configWith({"youtube.com"}, true));
    std::filesystem::remove(rig.paths.hosts);
    std::filesystem::create_directory(rig.paths.hosts);  // cannot be read as a file, even by root
    for (int i = 0; i < 3; ++i) {
        rig.tick();
        rig.advance(5);
    }
    rig.tick();
    EXPECT_EQ(rig.store->helper(), Helper::stuck);
    EXPECT_EQ(readFile(fileIn(rig.paths.folder, "state")).value_or(""),
              stuckText + "\nhelper: stuck\nblocked now: 0 host names");
}

TEST(HelperState, TheGracePeriodIgnoresWallClockJumps) {
    struct Jump {
        const char* what;
        int wall;     // seconds the wall clock moves between the ticks
        int elapsed;  // seconds that really pass
        Helper expected;
    };
    for (const Jump& jump : std::vector<Jump>{{"set back an hour", -3600, 10, Helper::stuck},
                                              {"a night of sleep", 8 * 3600, 1, Helper::working},
                                              {"plain time", 10, 10, Helper::stuck}}) {
        SCOPED_TRACE(jump.what);
        Rig rig;
        rig.start(configWith({"youtube.com"}, true));
        rig.tick();  // requested, never applied: the section differs from now on
        rig.clock += std::chrono::seconds(jump.wall);
        rig.elapsed += std::chrono::seconds(jump.elapsed);
        rig.tick();
        EXPECT_EQ(rig.store->helper(), jump.expected);
    }
}

// --- What is shown ---

TEST(Shown, StateFileMarkAndSweepFollowTheSection) {
    Rig rig;
    rig.start(configWith({"youtube.com"}, true));
    rig.tick();
    EXPECT_FALSE(rig.item.blocking) << "requested, not applied yet";
    EXPECT_EQ(rig.sweeps, 0);
    rig.applyRequest();
    rig.tick();
    rig.tick();
    EXPECT_TRUE(rig.item.blocking);
    EXPECT_EQ(rig.sweeps, 1) << "one sweep when blocking starts";
    EXPECT_EQ(rig.tarrow->blockingNames(),
              std::set<std::string>(youtubeNames.begin(), youtubeNames.end()));
    EXPECT_EQ(readFile(fileIn(rig.paths.folder, "state")).value_or(""),
              ordinary + "\nhelper: working\nblocked now: 5 host names");
    const int marks = rig.item.marks, tips = rig.item.tips;
    rig.tick();
    EXPECT_EQ(rig.item.marks, marks) << "an unchanged mark is not drawn again";
    EXPECT_EQ(rig.item.tips, tips);

    rig.command("off");
    rig.tick();
    rig.applyRequest();
    rig.tick();
    EXPECT_FALSE(rig.item.blocking);
    EXPECT_TRUE(rig.tarrow->blockingNames().empty());
    EXPECT_EQ(readFile(fileIn(rig.paths.folder, "state")).value_or(""),
              "Everything open\nhelper: working\nblocked now: 0 host names");
}

// A state file that cannot be written is said once and written at a later tick. (A folder
// in the temporary file's place fails even for root.)
TEST(Shown, AFailedStateFileIsWrittenAgainAtTheNextTick) {
    Rig rig;
    rig.start(configWith({"youtube.com"}, false));
    const std::string state = fileIn(rig.paths.folder, "state");
    std::filesystem::create_directories(state + ".tmp");
    rig.tick();
    rig.tick();
    EXPECT_FALSE(readFile(state));
    EXPECT_EQ(rig.count("cannot write the state file: cannot write " + state + ".tmp: File exists"),
              1);
    std::filesystem::remove(state + ".tmp");
    rig.tick();
    EXPECT_EQ(readFile(state).value_or(""),
              "Everything open\nhelper: working\nblocked now: 0 host names");
}

TEST(Shown, AddedWordsRunAndATickFromInsideATickDoesNothing) {
    Rig rig;
    rig.start(configWith({"youtube.com"}, true));
    std::vector<std::string> seen;
    rig.tarrow->addCommand("card", [&](const app::Command& c, Instant) {
        seen = c.words;
        rig.tarrow->tick();  // would write and log a second time if it ran
    });
    rig.command("card YouTube.com");
    rig.tick();
    EXPECT_EQ(seen, (std::vector<std::string>{"card", "YouTube.com"}));
    EXPECT_EQ(rig.count("command: card YouTube.com"), 1);
    EXPECT_EQ(rig.countPrefix("tarrow ("), 1);
}

// The sender of a command waits for the state file written by the pass that took it.
TEST(Shown, APassThatTookACommandWritesTheStateEvenUnchanged) {
    Rig rig;
    rig.start(configWith({"youtube.com"}, false));
    rig.tick();
    const std::string state = fileIn(rig.paths.folder, "state");
    std::filesystem::remove(state);
    rig.tick();
    ASSERT_FALSE(readFile(state)) << "unchanged, not written again";
    rig.command("status");
    rig.tick();
    EXPECT_EQ(readFile(state).value_or(""),
              "Everything open\nhelper: working\nblocked now: 0 host names");
}

TEST(Shown, AWordAddedUnloggedRunsWithoutTheCommandLine) {
    Rig rig;
    rig.start(configWith({"youtube.com"}, false));
    int runs = 0;
    rig.tarrow->addCommand(
        "activate", [&](const app::Command&, Instant) { ++runs; }, false);
    rig.command("activate");
    rig.tick();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(rig.countPrefix("command: "), 0);
}

// A request that cannot be emptied keeps sites blocked until the helper finds it stale:
// said once in the log, also when quitting empties it a second time.
TEST(Quit, ARequestThatCannotBeEmptiedIsLoggedOnce) {
    Rig rig;
    rig.start(configWith({"youtube.com"}, true));
    rig.tick();
    std::filesystem::create_directory(rig.paths.request + ".tmp");
    rig.tarrow->quit();
    rig.tarrow->emptyRequest();  // the app's about-to-quit hook
    EXPECT_NE(rig.request(), "");
    EXPECT_EQ(rig.count("cannot empty the request: cannot write " + rig.paths.request +
                        ".tmp: File exists"),
              1);
    EXPECT_EQ(rig.count("quit (menu)"), 1);
}

// --- The time zone ---

// The system's time zone changes while the app runs: the next tick already evaluates the
// schedules in the new zone.
TEST(TickCalendar, TheNextTickUsesTheNewTimeZone) {
    Rig rig;  // its calendar is in Europe/Berlin
    std::optional<Calendar> next;
    rig.newCalendar = [&] { return std::exchange(next, std::nullopt); };
    Config config = configWith({"example.com"}, false);
    config.schedules = {Schedule::make(true, {1, 2, 3, 4, 5, 6, 7}, 9 * 60, 10 * 60)};
    rig.clock = at("2026-10-23T07:30:00Z");  // 09:30 in Berlin, 16:30 in Tokyo
    rig.start(config);
    rig.tick();
    EXPECT_NE(rig.request(), "") << "the schedule runs in Berlin";
    EXPECT_EQ(rig.count("time zone: Asia/Tokyo"), 0);

    next = Calendar("Asia/Tokyo", "en_US");
    rig.tick();
    EXPECT_EQ(rig.tarrow->calendar().zone(), "Asia/Tokyo");
    EXPECT_EQ(rig.request(), "") << "the schedule is over in the new zone";
    EXPECT_EQ(rig.count("time zone: Asia/Tokyo"), 1);
    rig.tick();
    EXPECT_EQ(rig.count("time zone: Asia/Tokyo"), 1) << "logged once per change";
}

}  // namespace
}  // namespace tarrow::test
