// Commands reach the app only as written: the command file's words keep their limits,
// what cannot be used is left alone, and the tray menu's items do what they say.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "app/controller/command_file.h"
#include "app/controller/command_sender.h"
#include "app/controller/menu_commands.h"
#include "app/controller/menu_model.h"
#include "app/controller/modes.h"
#include "app/controller/render_setup.h"
#include "app/model/state_folder.h"
#include "platform/single_instance.h"
#include "tests/support/rig.h"

namespace tarrow::test {
namespace {

using namespace app;
using namespace std::literals;

TEST(Commands, WordsAndTheirLimits) {
    EXPECT_EQ(std::tuple(lockMinutes("1"), lockMinutes("+90"), lockMinutes("10080")),
              std::tuple(1, 90, 10080));
    for (const char* refused : {"0", "10081", "-5", "9999999999999999999999", "+", "ninety"})
        EXPECT_FALSE(lockMinutes(refused)) << refused;
    EXPECT_EQ(shellCommand({"for", "+90"}), "for 90");
    EXPECT_EQ(shellCommand({"lock", "1440"}), "lock 1440");
    for (const std::vector<std::string>& refused : std::vector<std::vector<std::string>>{
             {"lock", "1441"}, {"for"}, {"on", "now"}, {"ON"}, {"card"}})
        EXPECT_FALSE(shellCommand(refused)) << testing::PrintToString(refused);
    EXPECT_FALSE(parseCommand("\n\u00a0\u2028\u3000"));
    for (const char* text : {"  for\t90 \n", "for\u00a090"})
        EXPECT_EQ(parseCommand(text).value_or(Command{}).words,
                  (std::vector<std::string>{"for", "90"}));
    for (const char* word : {"on", "off", "for MINUTES", "lock MINUTES", "status", "settings"})
        EXPECT_NE(std::string(helpText()).find("\n  " + std::string(word) + " "),
                  std::string::npos);
    // The picture size of "--render": two whole sides, each brought within the limits.
    const std::pair<const char*, RenderSize> sizes[] = {
        {"800x600", {800, 600}},
        {"100x9000", {240, 2048}},
        {"0x440", defaultRenderSize},
        {"+800x600", defaultRenderSize},
        {"99999999999999999999x440", defaultRenderSize},
        {"800", defaultRenderSize}};
    for (const auto& [text, size] : sizes) EXPECT_EQ(renderSize(text), size) << text;
}

// A FIFO must neither hang the tick nor be removed; text that is not UTF-8 is no command.
TEST(Commands, WhatCannotBeUsedIsLeftAlone) {
    TempFolder s;
    writeFile(s / "command", "on\n");
    EXPECT_EQ(takeCommandText(s / "command"), "on\n");
    EXPECT_FALSE(exists(s / "command"));
    ASSERT_EQ(::mkfifo((s / "fifo").c_str(), 0600), 0);
    writeFile(s / "latin1", "on \xe9t\xe9\n");
    std::filesystem::create_directory(s / "folder");
    for (const char* name : {"fifo", "latin1", "folder", "command"}) {
        EXPECT_EQ(takeCommandText(s / name), std::nullopt) << name;
        EXPECT_EQ(exists(s / name), name != std::string("command")) << name;
    }
}

// A command the running copy does not take in time is removed, never run later.
TEST(Commands, ACommandNotTakenIsRemoved) {
    TempFolder s;
    Result<platform::Instance> held = platform::claimInstance(s / "tarrow.lock");
    const SendResult result =
        sendCommand({s.path, s / "tarrow.lock", std::chrono::milliseconds(50)}, "on");
    EXPECT_EQ(result.sent, Sent::noAnswer) << result.text;
    EXPECT_FALSE(exists(fileIn(s.path, "command")));
    if (held) ::close(std::get<platform::InstanceHeld>(*held).fd);
}

// Every item through the menu's one entry point: the main switch sets up a missing helper
// first and ticks at once, "Set Up" acts only while the helper does not work, a toggle of a
// site or schedule that is gone changes nothing, and the windows and places are the asked ones.
TEST(Menu, ItemsDoWhatTheySay) {
    for (HelperFiles helper : {HelperFiles::none, HelperFiles::current}) {
        Rig rig(helper);
        Config config = configWith({"example.com", "example.org"}, false);
        config.schedules = {Schedule::make(true, {2}, 480, 720)};
        rig.start(config);
        rig.tick();
        std::string calls;
        auto note = [&](const std::string& what) { calls += what + " "; };
        const MenuActions actions{[&] { return note("install"), true; },
                                  [&] { return note("remove"), true; },
                                  [&] { note("ask"); },
                                  [&] { note("refresh"); },
                                  [&](Tab tab) { note("show" + std::to_string(int(tab))); },
                                  [&] { note("about"); },
                                  note};
        auto pick = [&](MenuCommand command, std::string id = {}, std::optional<int> minutes = {}) {
            MenuEntry entry;
            entry.command = command, entry.minutes = minutes, entry.id = std::move(id);
            choose(*rig.tarrow, entry, actions);
        };
        pick(MenuCommand::toggleMain);
        EXPECT_NE(rig.request().find("example.com"), std::string::npos);
        pick(MenuCommand::setUp);
        EXPECT_EQ(calls, helper == HelperFiles::none ? "install ask install " : "ask ");
        pick(MenuCommand::toggleMain);
        EXPECT_EQ(std::pair(rig.request(), rig.count("okay, now (menu)")), std::pair(""s, 1));
        pick(MenuCommand::toggleSite, "gone"), pick(MenuCommand::toggleSite, config.sites[1].id);
        pick(MenuCommand::toggleSchedule, "gone");
        pick(MenuCommand::toggleSchedule, config.schedules[0].id);
        pick(MenuCommand::toggleStrict);
        pick(MenuCommand::lockFor), pick(MenuCommand::lockFor, {}, 25);
        const Config& now = rig.store->config();
        EXPECT_EQ(std::tuple(now.sites[1].enabled, now.schedules[0].enabled, now.strictUntil),
                  std::tuple(false, false, rig.clock + 1500s));
        EXPECT_TRUE(rig.request().starts_with("example.com\n") &&
                    rig.request().find("example.org") == std::string::npos)
            << rig.request();
        calls.clear();
        for (MenuCommand command : {MenuCommand::editSites, MenuCommand::editSchedules,
                                    MenuCommand::editGeneral, MenuCommand::about})
            pick(command);
        showLog(*rig.tarrow, actions), openSite(actions), showPrivacy(actions);
        remove(*rig.tarrow, actions);
        EXPECT_EQ(calls, "show0 show1 refresh show2 about " + rig.paths.folder + "/tarrow.log " +
                             std::string(siteURL) + " " + std::string(siteURL) +
                             "privacy.html remove ");
        pick(MenuCommand::quit);
        EXPECT_EQ(rig.request(), "");
    }
}

// The menu as this desktop prints it: the helper's repair or update (none once it works), a strict
// lock that disables "Okay, Now", the sites' ticks and the keys in this desktop's words.
TEST(Menu, EveryItemAsPrinted) {
    MenuFacts facts;
    facts.helper = Helper::stuck;
    facts.on = true;
    facts.sites = {{"S1", "youtube.com", true}};
    facts.strictTip = "Locked until 15:00.";
    const std::vector<MenuEntry> menu = menuEntries(facts);
    const std::string text = menuText(menu, Desktop::other);
    for (const char* line :
         {"  Blocking Isn\u2019t Working \u2013 Repair\u2026\n", "  Okay, Now   (inactive)\n",
          "        25 Minutes\n", "      \u2713 youtube.com\n", "        No schedules yet\n",
          "  Settings\u2026   Ctrl+,\n", "  Quit Tarrow   Ctrl+Q\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
    EXPECT_EQ(menu[3].tip, facts.strictTip);
    facts.helper = Helper::outdated;
    EXPECT_NE(menuText(menuEntries(facts), Desktop::other).find("  Finish Updating\u2026\n"),
              std::string::npos);
    facts.helper = Helper::working;
    EXPECT_EQ(menuEntries(facts).size() + 1, menu.size()) << "nothing to set up";
}

}  // namespace
}  // namespace tarrow::test
