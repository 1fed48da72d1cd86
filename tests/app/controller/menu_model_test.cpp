#include "app/controller/menu_model.h"

#include <gtest/gtest.h>

namespace tarrow::app {
namespace {

// Each item, submenu items indented, as "title = command id minutes key ✓", leaving out
// what it does not carry.
std::vector<std::string> carried(const std::vector<MenuEntry>& menu,
                                 const std::string& indent = "") {
    static const char* const commands[] = {
        "",          "setUp",         "toggleMain",  "cancelOpening",
        "lockFor",   "toggleStrict",  "toggleSite",  "toggleSchedule",
        "editSites", "editSchedules", "editGeneral", "about",
        "quit"};
    std::vector<std::string> lines;
    for (const MenuEntry& e : menu) {
        std::string line = indent + (e.separator ? "----" : e.title);
        if (e.command != MenuCommand::none) line += std::string(" = ") + commands[int(e.command)];
        if (!e.id.empty()) line += " " + e.id;
        if (e.minutes) line += " " + std::to_string(*e.minutes);
        if (!e.key.empty()) line += " key " + e.key;
        if (e.state) line += *e.state ? " \u2713" : " \u2717";
        lines.push_back(line);
        for (const std::string& sub : carried(e.submenu, indent + "  ")) lines.push_back(sub);
    }
    return lines;
}

// Nothing configured: the empty lists say so, and the keys read as this desktop shows them.
TEST(MenuModel, OffWithMissingHelperAndNothingConfigured) {
    MenuFacts facts;
    facts.status = "Everything open";
    const std::string text = menuText(menuEntries(facts), Desktop::other);
    for (const char* part : {"  Set Up Blocking\u2026\n", "        No sites yet\n",
                             "        No schedules yet\n", "  Quit Tarrow   Ctrl+Q\n"})
        EXPECT_NE(text.find(part), std::string::npos) << part << " in\n" << text;
    EXPECT_EQ(text.find("\u2318"), std::string::npos);
}

TEST(MenuModel, TheSetUpAndMainItemsFollowTheHelperAndTheSwitch) {
    struct Case {
        Helper helper;
        bool on;
        std::string setUp, main;
    };
    const Case cases[] = {
        {Helper::missing, false, "Set Up Blocking\u2026", "Tarrow"},
        {Helper::outdated, true, "Finish Updating\u2026", "Okay, Now"},
        {Helper::stuck, false, "Blocking Isn\u2019t Working \u2013 Repair\u2026", "Tarrow"},
    };
    for (const Case& c : cases) {
        MenuFacts facts;
        facts.helper = c.helper;
        facts.on = c.on;
        const std::vector<MenuEntry> menu = menuEntries(facts);
        EXPECT_EQ(menu[1].title, c.setUp);
        EXPECT_EQ(menu[1].command, MenuCommand::setUp);
        EXPECT_EQ(menu[3].title, c.main);
    }
}

TEST(MenuModel, EveryItemAndWhatItCarries) {
    MenuFacts facts;
    facts.status = "Blocked until 12:00";
    facts.helper = Helper::working;
    facts.sites = {{"S1", "youtube.com", true}, {"S2", "bild.de", false}};
    facts.schedules = {{"P1", "Weekdays, 08:00\u201312:00", false}};
    const std::vector<MenuEntry> menu = menuEntries(facts);
    EXPECT_EQ(carried(menu),
              (std::vector<std::string>{"Blocked until 12:00",
                                        "----",
                                        "Tarrow = toggleMain",
                                        "Tarrow For",
                                        "  25 Minutes = lockFor 25",
                                        "  1 Hour = lockFor 60",
                                        "  2 Hours = lockFor 120",
                                        "  4 Hours = lockFor 240",
                                        "  ----",
                                        "  Can\u2019t End Early = toggleStrict \u2717",
                                        "----",
                                        "Sites to Block",
                                        "  youtube.com = toggleSite S1 \u2713",
                                        "  bild.de = toggleSite S2 \u2717",
                                        "  ----",
                                        "  Edit Sites\u2026 = editSites",
                                        "Schedules",
                                        "  Weekdays, 08:00\u201312:00 = toggleSchedule P1 \u2717",
                                        "  ----",
                                        "  Edit Schedules\u2026 = editSchedules",
                                        "----",
                                        "Settings\u2026 = editGeneral key ,",
                                        "About Tarrow = about",
                                        "----",
                                        "Quit Tarrow = quit key q"}));
    EXPECT_FALSE(menu[0].enabled()) << "the status line";
    EXPECT_TRUE(menu[3].enabled()) << "a submenu parent opens";
    EXPECT_EQ(menu[11].tip, "Quitting unblocks every site.");
}

TEST(MenuModel, AStrictLockDisablesOkayNowAndAWaitCanBeCancelled) {
    MenuFacts facts;
    facts.helper = Helper::working;
    facts.on = true;
    facts.status = "Opening in 0:42 \u2013 Cancel";
    facts.opening = true;
    std::vector<MenuEntry> menu = menuEntries(facts);
    EXPECT_EQ(menu[0].command, MenuCommand::cancelOpening);
    EXPECT_EQ(menu[2].command, MenuCommand::toggleMain) << "choosing it again cancels too";

    facts.opening = false;
    facts.strictTip = "Locked until 15:00. A strict lock can\u2019t be ended early.";
    menu = menuEntries(facts);
    EXPECT_EQ(menu[0].command, MenuCommand::none);
    EXPECT_EQ(menu[2].title, "Okay, Now");
    EXPECT_FALSE(menu[2].enabled());
    EXPECT_EQ(menu[2].tip, facts.strictTip);
    EXPECT_EQ(menu.back().tip, "The strict lock stays: its sites stay blocked after you quit.");
}

}  // namespace
}  // namespace tarrow::app
