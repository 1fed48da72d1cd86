#include "app/controller/menu_model.h"

#include <gtest/gtest.h>

namespace tarrow::app {
namespace {

std::vector<std::string> topTitles(const std::vector<MenuEntry>& menu) {
    std::vector<std::string> titles;
    for (const MenuEntry& e : menu) titles.push_back(e.separator ? "----" : e.title);
    return titles;
}

TEST(MenuModel, OffWithMissingHelperAndNothingConfigured) {
    MenuFacts facts;
    facts.status = "Everything open";
    const std::string expected =
        "  Everything open   (inactive)\n"
        "  Set Up Blocking\u2026\n"
        "\u2500\u2500\u2500\u2500\n"
        "  Tarrow\n"
        "  Tarrow For\n"
        "        25 Minutes\n"
        "        1 Hour\n"
        "        2 Hours\n"
        "        4 Hours\n"
        "\u2500\u2500\u2500\u2500\n"
        "  Sites to Block\n"
        "        No sites yet\n"
        "      \u2500\u2500\u2500\u2500\n"
        "        Edit Sites\u2026\n"
        "  Schedules\n"
        "        No schedules yet\n"
        "      \u2500\u2500\u2500\u2500\n"
        "        Edit Schedules\u2026\n"
        "\u2500\u2500\u2500\u2500\n"
        "  Settings\u2026   \u2318,\n"
        "  About Tarrow\n"
        "\u2500\u2500\u2500\u2500\n"
        "  Quit Tarrow   \u2318Q\n";
    EXPECT_EQ(menuText(menuEntries(facts)), expected);
}

TEST(MenuModel, SetUpItemFollowsTheHelper) {
    struct Case {
        Helper helper;
        std::string title, tipStart;
    };
    const Case cases[] = {
        {Helper::missing, "Set Up Blocking\u2026",
         "Tarrow blocks through /etc/hosts. Writing it needs your password once."},
        {Helper::outdated, "Finish Updating\u2026", "This version of Tarrow ships a newer helper."},
        {Helper::stuck, "Blocking Isn\u2019t Working \u2013 Repair\u2026",
         "The helper does not answer. Repair installs it again"},
    };
    for (const Case& c : cases) {
        MenuFacts facts;
        facts.helper = c.helper;
        const std::vector<MenuEntry> menu = menuEntries(facts);
        EXPECT_EQ(menu.size(), 13u);
        EXPECT_EQ(menu[1].title, c.title);
        EXPECT_EQ(menu[1].command, MenuCommand::setUp);
        EXPECT_EQ(menu[1].tip.rfind(c.tipStart, 0), 0u) << menu[1].tip;
    }
}

TEST(MenuModel, MainSwitchFollowsTheEvaluation) {
    struct Case {
        bool on;
        std::string title, tip;
    };
    const Case cases[] = {
        {false, "Tarrow", "Blocks your sites until you choose Okay, Now."},
        {true, "Okay, Now", "Opens every site again."},
    };
    for (const Case& c : cases) {
        MenuFacts facts;
        facts.on = c.on;
        facts.helper = Helper::working;
        const std::vector<MenuEntry> menu = menuEntries(facts);
        const MenuEntry& main = menu[2];
        EXPECT_EQ(main.title, c.title);
        EXPECT_EQ(main.tip, c.tip);
        EXPECT_EQ(main.command, MenuCommand::toggleMain);
    }
}

TEST(MenuModel, EveryItemAndWhatItCarries) {
    MenuFacts facts;
    facts.status = "Blocked until 12:00";
    facts.helper = Helper::working;
    facts.sites = {{"S1", "youtube.com", true}, {"S2", "bild.de", false}};
    facts.schedules = {{"P1", "Weekdays, 08:00\u201312:00", false}};
    const std::vector<MenuEntry> menu = menuEntries(facts);
    EXPECT_EQ(topTitles(menu),
              (std::vector<std::string>{"Blocked until 12:00", "----", "Tarrow", "Tarrow For",
                                        "----", "Sites to Block", "Schedules", "----",
                                        "Settings\u2026", "About Tarrow", "----", "Quit Tarrow"}));

    EXPECT_FALSE(menu[0].enabled());  // the status line
    const MenuEntry& locks = menu[3];
    EXPECT_TRUE(locks.enabled());
    ASSERT_EQ(locks.submenu.size(), 4u);
    const int minutes[] = {25, 60, 120, 240};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(locks.submenu[i].command, MenuCommand::lockFor);
        EXPECT_EQ(locks.submenu[i].minutes, minutes[i]);
        EXPECT_TRUE(locks.submenu[i].tip.empty());
    }

    const MenuEntry& sites = menu[5];
    ASSERT_EQ(sites.submenu.size(), 4u);
    EXPECT_EQ(sites.submenu[0].id, "S1");
    EXPECT_EQ(sites.submenu[0].state, true);
    EXPECT_EQ(sites.submenu[1].id, "S2");
    EXPECT_EQ(sites.submenu[1].state, false);
    EXPECT_EQ(sites.submenu[1].command, MenuCommand::toggleSite);
    EXPECT_TRUE(sites.submenu[2].separator);
    EXPECT_EQ(sites.submenu[3].command, MenuCommand::editSites);

    const MenuEntry& schedules = menu[6];
    ASSERT_EQ(schedules.submenu.size(), 3u);
    EXPECT_EQ(schedules.submenu[0].command, MenuCommand::toggleSchedule);
    EXPECT_EQ(schedules.submenu[0].id, "P1");
    EXPECT_EQ(schedules.submenu[2].command, MenuCommand::editSchedules);

    EXPECT_EQ(menu[8].command, MenuCommand::editGeneral);
    EXPECT_EQ(menu[8].key, ",");
    EXPECT_EQ(menu[9].command, MenuCommand::about);
    EXPECT_EQ(menu[11].command, MenuCommand::quit);
    EXPECT_EQ(menu[11].key, "q");
    EXPECT_EQ(menu[11].tip, "Quitting unblocks every site.");

    const std::string text = menuText(menu);
    EXPECT_NE(text.find("\n      \u2713 youtube.com\n        bild.de\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("\n        Weekdays, 08:00\u201312:00\n"), std::string::npos);
}

}  // namespace
}  // namespace tarrow::app
