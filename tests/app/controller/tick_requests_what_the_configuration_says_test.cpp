// The controller's tick requests what the configuration says, against real files in a
// scratch folder: the names of the enabled sites whenever the evaluation says on, nothing
// otherwise; the helper's state follows the hosts section; failures are said, not hidden.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "app/model/config_json.h"
#include "app/model/evaluation.h"
#include "app/model/state_folder.h"
#include "tests/support/rig.h"

namespace tarrow::test {
namespace {

using namespace std::chrono_literals;

// The enabled sites' names, each once at its first place, when the evaluation says on.
std::string expectedRequest(const Rig& rig) {
    const Config& config = rig.store->config();
    if (!evaluate(config, rig.clock, rig.tarrow->calendar()).on) return "";
    std::set<std::string> seen;
    std::string text;
    for (const Site& site : config.sites)
        for (const std::string& name : hostNames(site.domain))
            if (site.enabled && seen.insert(name).second) text += name + "\n";
    return text;
}

// A generated run of changes to the sites, the switch, locks and schedules, and of clock
// steps; after each, the request and the tray's mark agree with the evaluation.
TEST(Tick, RequestsWhatTheConfigurationSaysThroughGeneratedChanges) {
    Rig rig;
    rig.start(configWith({"youtu.be", "youtube.com", "example.org"}, false));
    const char* domains[] = {"youtube.com", "youtu.be", "bild.de", "example.org"};
    std::mt19937 random(28);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    for (int step = 0; step < 300; ++step) {
        Config c = rig.store->config();
        const Calendar& cal = rig.tarrow->calendar();
        const int minute = cal.minuteOfDay(rig.clock);
        const int change = pick(7);
        if (change == 0)
            c.manualOn = !c.manualOn;
        else if (change == 1)
            c.sites[size_t(pick(3))].enabled = pick(2);
        else if (change == 2)
            c.sites[size_t(pick(3))].domain = domains[pick(4)];
        else if (change == 3)
            c = lockedFor(c, 1 + pick(60), rig.clock, pick(4) == 0);
        else if (change == 4)
            c = switched(c, pick(2), rig.clock, cal);
        else if (change == 5)
            c.schedules = {Schedule::make(pick(2), {cal.weekday(rig.clock)}, minute - 30 + pick(60),
                                          minute + pick(60))};
        else
            rig.advance(60 * (1 + pick(90)));
        rig.store->setConfig(c);  // ticks through the store's change callback
        rig.tick();
        SCOPED_TRACE(step);
        ASSERT_EQ(rig.request(), expectedRequest(rig)) << encodeConfig(rig.store->config());
        for (const auto& until : {rig.store->config().onUntil, rig.store->config().strictUntil})
            EXPECT_GT(until.value_or(rig.clock + 1s), rig.clock) << "expired: cleared";
        rig.applyRequest();
        rig.advance(5);
        rig.tick();
        ASSERT_EQ(rig.item.blocking, !rig.request().empty());
        const bool noSite =
            rig.request().empty() && evaluate(rig.store->config(), rig.clock, cal).on;
        EXPECT_EQ(rig.store->status() == "Tarrow \u2013 but no site is switched on", noSite);
    }
}

// The helper is stuck once the section lags behind the request for more than 8 seconds of
// real time (never by a wall clock's jump), said once, and working again once applied.
TEST(Tick, TheHelperIsStuckAfterEightSecondsOfRealTime) {
    struct Case {
        const char* lagging;  // per tick, 5 s apart: '1' while the section lags behind
        int wall, elapsed;    // then both clocks move on
        Helper expected;
        int stuckLines;
    };
    const Case cases[] = {
        {"1", 0, 0, Helper::working, 0},        {"1111", 0, 0, Helper::stuck, 1},
        {"1110", 0, 0, Helper::working, 1},     {"1", -3600, 5, Helper::stuck, 1},
        {"1", 8 * 3600, 1, Helper::working, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lagging << " " << c.wall);
        Rig rig;
        rig.start(configWith({"youtube.com"}, true));
        for (const char* lags = c.lagging; *lags; ++lags) {
            rig.tick();
            if (*lags == '0') rig.applyRequest();
            rig.advance(5);
        }
        rig.clock += std::chrono::seconds(c.wall);
        rig.elapsed += std::chrono::seconds(c.elapsed);
        rig.tick();
        EXPECT_EQ(rig.store->helper(), c.expected);
        EXPECT_EQ(rig.count("helper: stuck"), c.stuckLines);
    }
}

// What is shown changes only with the section: the state file, the mark (not drawn again
// unchanged) and one sweep of the tabs when blocking starts. A state file that cannot be
// written is said once and written at a later tick.
TEST(Tick, ShownStateFollowsTheSection) {
    Rig rig;
    rig.start(configWith({"youtube.com"}, true));
    const std::string state = fileIn(rig.paths.folder, "state");
    std::filesystem::create_directories(state + ".tmp");
    rig.tick();
    rig.tick();
    EXPECT_FALSE(rig.item.blocking) << "requested, not applied yet";
    EXPECT_EQ(rig.countPrefix("cannot write the state file: "), 1);
    std::filesystem::remove(state + ".tmp");
    rig.applyRequest();
    rig.tick();
    const int marks = rig.item.marks;
    rig.tick();
    EXPECT_EQ(std::tie(rig.item.blocking, rig.item.marks, rig.sweeps), std::tuple(true, marks, 1));
    EXPECT_NE(readFile(state).value_or("").find("blocked now: 5 host names"), std::string::npos);
    // A request that cannot be emptied on quitting is said once.
    std::filesystem::create_directory(rig.paths.request + ".tmp");
    rig.tarrow->quit();
    rig.tarrow->emptyRequest();  // the app's about-to-quit hook
    EXPECT_NE(rig.request(), "");
    EXPECT_EQ(rig.countPrefix("cannot empty the request: "), 1);
}

// A request that cannot be written is said at every tick; the state is still derived. A
// strict lock too long for its limit is said.
TEST(Tick, ARequestThatCannotBeWrittenIsSaid) {
    TempFolder blocker;
    writeFile(blocker / "file", "a regular file where a folder should be\n");
    Rig rig;
    rig.paths.request = blocker / "file" + "/blocked-hosts";
    rig.start(configWith({"youtube.com"}, true));
    for (int i = 0; i < 3; ++i, rig.advance(5)) rig.tick();
    EXPECT_EQ(rig.countPrefix("cannot write the request: "), 3);
    EXPECT_EQ(rig.store->helper(), Helper::stuck) << "nothing was requested, so nothing applied";
    rig.command("lock 1441"), rig.tick();
    EXPECT_EQ(rig.count("lock: minutes must be a whole number from 1 to 1440"), 1);
}

// With the wait on, "Okay, Now" opens after a minute, not before; a second "off" cancels.
TEST(Tick, TheWaitOpensAfterAMinuteAndASecondOffCancels) {
    for (bool cancel : {false, true}) {
        Rig rig;
        Config config = configWith({"youtu.be"}, true);
        config.waitToOpen = true;
        rig.start(config);
        rig.command("off");
        rig.tick();
        EXPECT_EQ(rig.store->status(), "Opening in 1:00 \u2013 Cancel");
        rig.advance(30);
        if (cancel) rig.command("off");
        rig.tick();
        rig.advance(29);
        rig.tick();
        EXPECT_NE(rig.request(), "");
        rig.advance(1);
        rig.tick();
        EXPECT_EQ(rig.request() != "", cancel) << cancel;
    }
}

// The helper's still-open file: read when it changes, each new name said once, an
// unreadable one said once and shown as nothing.
TEST(Tick, StillOpenNamesReachTheirSites) {
    Rig rig;
    rig.start(configWith({"youtube.com", "example.org"}, true));
    auto status = [&](const std::string& text) {
        writeFile(rig.paths.stillOpen + ".new", text);
        std::filesystem::rename(rig.paths.stillOpen + ".new", rig.paths.stillOpen);
        rig.tick();
        rig.tick();
    };
    status("www.youtube.com: r1\nother.example: r2\n");
    EXPECT_EQ(rig.store->stillOpen(),
              (SiteOpenNames{{"youtube.com", {{"www.youtube.com", "r1"}}}}));
    EXPECT_EQ(rig.countPrefix("still open: "), 2);
    std::filesystem::remove(rig.paths.stillOpen);
    std::filesystem::create_directories(rig.paths.stillOpen);
    rig.tick();
    rig.tick();
    EXPECT_TRUE(rig.store->stillOpen().empty());
    EXPECT_EQ(rig.count("cannot read " + rig.paths.stillOpen + ": not a regular file"), 1);
}

}  // namespace
}  // namespace tarrow::test
