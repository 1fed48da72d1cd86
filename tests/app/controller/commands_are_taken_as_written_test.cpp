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
#include "app/model/state_folder.h"
#include "platform/single_instance.h"
#include "tests/support/rig.h"

namespace tarrow::test {
namespace {

using namespace app;

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

// The main switch sets up a missing helper first and ticks at once; "Set Up" does something
// only while the helper does not work; a toggle of a site that is gone changes nothing.
TEST(Menu, ItemsDoWhatTheySay) {
    for (HelperFiles helper : {HelperFiles::none, HelperFiles::current}) {
        Rig rig(helper);
        rig.start(configWith({"example.com", "example.org"}, false));
        rig.tick();
        std::vector<std::string> calls;
        MenuActions actions;
        actions.installHelper = [&] { return calls.push_back("install"), true; };
        actions.askBrowsers = [&] { calls.push_back("ask"); };
        toggleMain(*rig.tarrow, actions);
        EXPECT_NE(rig.request().find("example.com"), std::string::npos);
        setUp(*rig.tarrow, actions);
        const std::vector<std::string> all = {"install", "ask", "install"};
        EXPECT_EQ(calls, helper == HelperFiles::none ? all : std::vector{all[1]});
        toggleSite(*rig.tarrow, rig.store->config().sites[1].id);
        toggleSite(*rig.tarrow, "gone");
        EXPECT_EQ(rig.request().find("example.org"), std::string::npos);
        rig.tarrow->quit();
        EXPECT_EQ(rig.request(), "");
    }
}

// The menu as this desktop prints it: the helper's repair, a strict lock that disables
// "Okay, Now", the sites' ticks and the keys in this desktop's words.
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
}

}  // namespace
}  // namespace tarrow::test
