#include "app/controller/menu_model.h"

#include "app/controller/tarrow.h"
#include "app/model/texts.h"
#include "platform/paths.h"

namespace tarrow::app {

namespace {

const std::string app(appName);

MenuEntry separator() {
    MenuEntry entry;
    entry.separator = true;
    return entry;
}

MenuEntry item(std::string title, MenuCommand command, std::string tip = {}) {
    MenuEntry entry;
    entry.title = std::move(title);
    entry.command = command;
    entry.tip = std::move(tip);
    return entry;
}

std::optional<MenuEntry> setUpEntry(Helper helper) {
    switch (helper) {
        case Helper::missing:
            return item("Set Up Blocking\u2026", MenuCommand::setUp,
                        app + " blocks through /etc/hosts. Writing it needs your password once.");
        case Helper::outdated:
            return item("Finish Updating\u2026", MenuCommand::setUp,
                        "This version of " + app + " ships a newer helper.");
        case Helper::stuck:
            return item("Blocking Isn\u2019t Working \u2013 Repair\u2026", MenuCommand::setUp,
#ifdef __APPLE__
                        "The helper does not answer. Repair installs it again. If it is "
                        "switched off under System Settings \u2192 General \u2192 Login Items, "
                        "switch it on there.");
#else
                        "The helper does not answer. Repair installs it again and restarts "
                        "its service.");
#endif
        case Helper::working:
            return std::nullopt;
    }
    return std::nullopt;
}

// One checkable line per site or schedule, or the disabled placeholder; then the edit item.
MenuEntry toggles(std::string title, const std::vector<MenuFacts::Line>& lines, MenuCommand toggle,
                  const char* none, const char* edit, MenuCommand editing) {
    MenuEntry parent = item(std::move(title), MenuCommand::none);
    for (const MenuFacts::Line& line : lines) {
        MenuEntry entry = item(line.title, toggle);
        entry.id = line.id;
        entry.state = line.enabled;
        parent.submenu.push_back(std::move(entry));
    }
    if (lines.empty()) parent.submenu.push_back(item(none, MenuCommand::none));
    parent.submenu.push_back(separator());
    parent.submenu.push_back(item(edit, editing));
    return parent;
}

}  // namespace

std::vector<MenuEntry> menuEntries(const MenuFacts& facts) {
    std::vector<MenuEntry> menu;
    menu.push_back(
        item(facts.status, facts.opening ? MenuCommand::cancelOpening : MenuCommand::none));
    if (auto setUp = setUpEntry(facts.helper)) menu.push_back(*setUp);
    menu.push_back(separator());

    if (!facts.on) {
        menu.push_back(
            item(app, MenuCommand::toggleMain, "Blocks your sites until you choose Okay, Now."));
    } else if (!facts.strictTip.empty()) {
        menu.push_back(item("Okay, Now", MenuCommand::none, facts.strictTip));
    } else {
        menu.push_back(item("Okay, Now", MenuCommand::toggleMain, "Opens every site again."));
    }
    MenuEntry lockFor = item(app + " For", MenuCommand::none);
    for (const TimedLock& lock : timedLocks) {
        MenuEntry entry = item(lock.title, MenuCommand::lockFor);
        entry.minutes = lock.minutes;
        lockFor.submenu.push_back(std::move(entry));
    }
    lockFor.submenu.push_back(separator());
    MenuEntry strict = item("Can\u2019t End Early", MenuCommand::toggleStrict,
                            "A strict lock holds until its end, even if you quit " + app + ".");
    strict.state = facts.strictLocks;
    lockFor.submenu.push_back(std::move(strict));
    menu.push_back(std::move(lockFor));
    menu.push_back(separator());

    menu.push_back(toggles("Sites to Block", facts.sites, MenuCommand::toggleSite, "No sites yet",
                           "Edit Sites\u2026", MenuCommand::editSites));
    menu.push_back(toggles("Schedules", facts.schedules, MenuCommand::toggleSchedule,
                           "No schedules yet", "Edit Schedules\u2026", MenuCommand::editSchedules));
    menu.push_back(separator());

    MenuEntry settings = item("Settings\u2026", MenuCommand::editGeneral);
    settings.key = ",";
    menu.push_back(std::move(settings));
    menu.push_back(item("About " + app, MenuCommand::about));
    menu.push_back(separator());
    MenuEntry quit = item("Quit " + app, MenuCommand::quit,
                          facts.strictTip.empty()
                              ? "Quitting unblocks every site."
                              : "The strict lock stays: its sites stay blocked after you quit.");
    quit.key = "q";
    menu.push_back(std::move(quit));
    return menu;
}

MenuFacts menuFacts(Tarrow& tarrow) {
    const Store& store = tarrow.store();
    MenuFacts facts;
    facts.status = store.status();
    facts.helper = store.helper();
    const Evaluation evaluation = tarrow.evaluation();
    facts.on = evaluation.on;
    facts.strictLocks = store.config().strictLocks;
    if (evaluation.strict)
        facts.strictTip = strictTip(evaluation.why.at, tarrow.now(), tarrow.calendar());
    facts.opening = tarrow.opensAt().has_value();
    for (const Site& site : store.config().sites)
        facts.sites.push_back({site.id, site.domain, site.enabled});
    for (const Schedule& schedule : store.config().schedules)
        facts.schedules.push_back(
            {schedule.id, describe(schedule, tarrow.calendar()), schedule.enabled});
    return facts;
}

std::vector<MenuEntry> rebuiltMenu(Tarrow& tarrow) {
    tarrow.tick();
    return menuEntries(menuFacts(tarrow));
}

namespace {

std::string upper(std::string key) {
    for (char& c : key)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return key;
}

std::string checkColumn(const MenuEntry& entry) {
    return entry.state == true ? "\u2713 " : "  ";
}

}  // namespace

std::string menuText(const std::vector<MenuEntry>& entries, Desktop desktop) {
    const std::string rule = "\u2500\u2500\u2500\u2500";
    std::string text;
    for (const MenuEntry& entry : entries) {
        if (entry.separator) {
            text += rule + "\n";
            continue;
        }
        text += checkColumn(entry) + entry.title;
        if (!entry.enabled()) text += "   (inactive)";
        if (!entry.key.empty())
            text += "   " + machineText({"\u2318", "Ctrl+"}, {}, desktop) + upper(entry.key);
        text += "\n";
        for (const MenuEntry& sub : entry.submenu)
            text += "      " + (sub.separator ? rule : checkColumn(sub) + sub.title) + "\n";
    }
    return text;
}

}  // namespace tarrow::app
