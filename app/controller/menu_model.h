#pragma once
// The tray menu as plain values: what each item says and does, rebuilt from the store
// and the evaluation every time the menu opens. The Qt adapter turns it into a QMenu;
// "--menu" prints it.

#include <optional>
#include <string>
#include <vector>

#include "app/model/config.h"
#include "app/model/helper_state.h"
#include "common/machine_text.h"

namespace tarrow::app {

class Tarrow;

enum class MenuCommand {
    none,  // a disabled line, or the parent of a submenu
    setUp,
    toggleMain,
    cancelOpening,  // the first item while "Okay, Now" waits
    lockFor,
    toggleStrict,  // "Can't End Early"
    toggleSite,
    toggleSchedule,
    editSites,
    editSchedules,
    editGeneral,
    about,
    quit,
};

struct MenuEntry {
    bool separator = false;
    std::string title;
    MenuCommand command = MenuCommand::none;
    std::string key;             // used with the platform's command key; "" for none
    std::optional<bool> state;   // a check mark when true
    std::optional<int> minutes;  // lockFor
    std::string id;              // toggleSite, toggleSchedule
    std::string tip;
    std::vector<MenuEntry> submenu;

    // Submenu parents stay enabled so that their submenus open.
    bool enabled() const { return command != MenuCommand::none || !submenu.empty(); }
};

// What the menu is built from.
struct MenuFacts {
    struct Line {
        std::string id, title;
        bool enabled = true;
    };
    std::string status;
    Helper helper = Helper::missing;
    bool on = false;
    bool strictLocks = false;     // "Can't End Early" is checked
    std::string strictTip;        // while a strict lock holds: why "Okay, Now" is disabled
    bool opening = false;         // "Okay, Now" waits; the status says so
    std::vector<Line> sites;      // title: the domain
    std::vector<Line> schedules;  // title: the schedule's description
};

// The timed locks offered, in menu order.
struct TimedLock {
    const char* title;
    int minutes;
};
inline constexpr TimedLock timedLocks[] = {
    {"25 Minutes", 25}, {"1 Hour", 60}, {"2 Hours", 120}, {"4 Hours", 240}};

std::vector<MenuEntry> menuEntries(const MenuFacts& facts);

// The facts as the controller has them now.
MenuFacts menuFacts(Tarrow& tarrow);

// Ticks, then builds the menu: what opening the menu shows.
std::vector<MenuEntry> rebuiltMenu(Tarrow& tarrow);

// The printed form of "--menu": one line per item, submenu items indented by six
// spaces, "────" for a separator, "✓ " for a checked item, "   (inactive)" after a
// disabled one, three spaces, "⌘" ("Ctrl+" on other desktops, as their menus show it)
// and the key in upper case after a key.
std::string menuText(const std::vector<MenuEntry>& entries, Desktop desktop = thisDesktop);

}  // namespace tarrow::app
