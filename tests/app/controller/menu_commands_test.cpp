#include "app/controller/menu_commands.h"

#include <gtest/gtest.h>

#include "tests/support/rig.h"

namespace tarrow::test {
namespace {

using app::MenuCommand;
using app::MenuEntry;

// Records which outside effects the commands asked for, in order.
struct Effects {
    std::vector<std::string> calls;
    app::MenuActions actions() {
        app::MenuActions a;
        a.installHelper = [this] {
            calls.push_back("install");
            return true;
        };
        a.removeHelper = [this] {
            calls.push_back("remove");
            return true;
        };
        a.askBrowsers = [this] { calls.push_back("ask"); };
        a.refreshBrowsers = [this] { calls.push_back("refresh"); };
        a.showSettings = [this](Tab tab) { calls.push_back("show " + std::to_string(int(tab))); };
        a.about = [this] { calls.push_back("about"); };
        a.open = [this](const std::string& where) { calls.push_back("open " + where); };
        return a;
    }
};

MenuEntry entry(MenuCommand command, std::string id = {}, std::optional<int> minutes = {}) {
    MenuEntry e;
    e.command = command;
    e.id = std::move(id);
    e.minutes = minutes;
    return e;
}

TEST(MenuCommands, MainSwitch) {
    struct Case {
        HelperFiles helper;
        bool onBefore;
        bool onAfter;
        std::string logLine;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {HelperFiles::none, false, true, "tarrow (menu)", {"install", "ask"}},
        {HelperFiles::current, false, true, "tarrow (menu)", {"ask"}},
        {HelperFiles::current, true, false, "okay, now (menu)", {}},
    };
    for (const Case& c : cases) {
        Rig rig(c.helper);
        rig.start(configWith({"example.com"}, c.onBefore));
        rig.tick();
        Effects effects;
        app::choose(*rig.tarrow, entry(MenuCommand::toggleMain), effects.actions());
        EXPECT_EQ(rig.store->config().manualOn, c.onAfter);
        EXPECT_EQ(rig.count(c.logLine), 1);
        EXPECT_EQ(effects.calls, c.calls);
        // The saved change ticked: the request follows at once.
        EXPECT_EQ(rig.request().find("example.com") != std::string::npos, c.onAfter);
    }
}

TEST(MenuCommands, TimedLock) {
    Rig rig;
    rig.start(configWith({"example.com"}, false));
    Effects effects;
    app::choose(*rig.tarrow, entry(MenuCommand::lockFor, {}, 25), effects.actions());
    EXPECT_EQ(rig.store->config().onUntil, rig.clock + std::chrono::seconds(1500));
    EXPECT_EQ(rig.count("tarrow for 25 min (menu)"), 1);
    EXPECT_EQ(effects.calls, std::vector<std::string>{"ask"});

    // An item without minutes does nothing.
    const Config before = rig.store->config();
    app::choose(*rig.tarrow, entry(MenuCommand::lockFor), effects.actions());
    EXPECT_EQ(rig.store->config(), before);
}

TEST(MenuCommands, SiteAndScheduleToggles) {
    Rig rig;
    Config config = configWith({"example.com", "example.org"}, true);
    config.schedules.push_back(Schedule::make(true, {2, 3}, 480, 720));
    rig.start(config);
    rig.tick();
    const std::string site = config.sites[1].id, schedule = config.schedules[0].id;
    Effects effects;

    app::choose(*rig.tarrow, entry(MenuCommand::toggleSite, site), effects.actions());
    EXPECT_FALSE(rig.store->config().sites[1].enabled);
    EXPECT_EQ(rig.request().find("example.org"), std::string::npos);

    app::choose(*rig.tarrow, entry(MenuCommand::toggleSchedule, schedule), effects.actions());
    EXPECT_FALSE(rig.store->config().schedules[0].enabled);

    // Items whose site or schedule is gone change nothing.
    const Config before = rig.store->config();
    for (MenuCommand command : {MenuCommand::toggleSite, MenuCommand::toggleSchedule})
        app::choose(*rig.tarrow, entry(command, "gone"), effects.actions());
    EXPECT_EQ(rig.store->config(), before);
    EXPECT_TRUE(effects.calls.empty());
}

TEST(MenuCommands, SetUpOnlyWhenTheHelperDoesNotWork) {
    // A helper that stopped applying the request: stuck after more than 8 seconds.
    Rig rig(HelperFiles::current);
    rig.start(configWith({"example.com"}, true));
    rig.tick();
    rig.advance(9);
    rig.tick();
    ASSERT_EQ(rig.store->helper(), Helper::stuck);
    Effects effects;
    app::choose(*rig.tarrow, entry(MenuCommand::setUp), effects.actions());
    EXPECT_EQ(effects.calls, std::vector<std::string>{"install"});
    EXPECT_EQ(rig.store->helper(), Helper::working);  // a fresh grace period

    app::choose(*rig.tarrow, entry(MenuCommand::setUp), effects.actions());
    EXPECT_EQ(effects.calls.size(), 1u);  // working: nothing to do
}

TEST(MenuCommands, WindowsAndPlaces) {
    Rig rig;
    rig.start(configWith({}, false));
    Effects effects;
    const app::MenuActions actions = effects.actions();
    app::choose(*rig.tarrow, entry(MenuCommand::editSites), actions);
    app::choose(*rig.tarrow, entry(MenuCommand::editSchedules), actions);
    app::choose(*rig.tarrow, entry(MenuCommand::editGeneral), actions);
    app::choose(*rig.tarrow, entry(MenuCommand::about), actions);
    app::showLog(*rig.tarrow, actions);
    app::openSite(actions);
    app::showPrivacy(actions);
    app::remove(*rig.tarrow, actions);
    const std::string site(app::siteURL);
    EXPECT_EQ(effects.calls,
              (std::vector<std::string>{"show 0", "show 1", "refresh", "show 2", "about",
                                        "open " + rig.paths.folder + "/tarrow.log", "open " + site,
                                        "open " + site + "privacy.html", "remove"}));
}

// A mode without windows leaves pieces unconnected: their commands do nothing and say
// nothing (the running app connects every one).
TEST(MenuCommands, UnconnectedPiecesDoNothing) {
    Rig rig(HelperFiles::none);
    rig.start(configWith({}, false));
    rig.tick();
    const std::vector<std::string> before = rig.logged;
    const app::MenuActions none;
    app::choose(*rig.tarrow, entry(MenuCommand::editSites), none);
    app::choose(*rig.tarrow, entry(MenuCommand::about), none);
    app::choose(*rig.tarrow, entry(MenuCommand::setUp), none);
    app::showLog(*rig.tarrow, none);
    app::openAutomationSettings(none);
    EXPECT_EQ(rig.logged, before);
}

TEST(MenuCommands, QuitEmptiesTheRequest) {
    Rig rig;
    rig.start(configWith({"example.com"}, true));
    rig.tick();
    ASSERT_NE(rig.request(), "");
    app::choose(*rig.tarrow, entry(MenuCommand::quit), {});
    EXPECT_EQ(rig.request(), "");
    EXPECT_EQ(rig.count("quit (menu)"), 1);
}

// Opening the menu ticks first, so a command given a moment ago already shows.
TEST(MenuRebuild, TicksBeforeBuilding) {
    Rig rig;
    rig.start(configWith({"example.com"}, false));
    rig.tick();
    rig.command("on");
    const std::vector<MenuEntry> menu = app::rebuiltMenu(*rig.tarrow);
    EXPECT_EQ(menu[0].title, rig.store->status());
    EXPECT_EQ(menu[2].title, "Okay, Now");
    EXPECT_EQ(menu[5].submenu[0].title, "example.com");
    EXPECT_EQ(menu[5].submenu[0].state, true);
}

}  // namespace
}  // namespace tarrow::test
