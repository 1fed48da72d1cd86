#include "app/controller/menu_commands.h"

#include "app/controller/tarrow.h"
#include "app/model/state_folder.h"

namespace tarrow::app {

namespace {

// Runs an action the app connected; one it left empty (a test's, a mode without
// windows) does nothing.
template <typename Action, typename... Args>
void run(const Action& action, Args&&... args) {
    if (action) action(std::forward<Args>(args)...);
}

void afterSwitchingOn(Tarrow& tarrow, const MenuActions& actions) {
    if (tarrow.store().helper() == Helper::missing) setUp(tarrow, actions);
    if (actions.askBrowsers) actions.askBrowsers();
}

}  // namespace

void toggleMain(Tarrow& tarrow, const MenuActions& actions) {
    if (tarrow.evaluation().on) {
        if (tarrow.okayNow("menu") == Tarrow::Opening::opened) tarrow.log("okay, now (menu)");
        return;
    }
    tarrow.store().setConfig(
        switched(tarrow.store().config(), true, tarrow.now(), tarrow.calendar()));
    tarrow.log("tarrow (menu)");
    afterSwitchingOn(tarrow, actions);
}

void lockFor(Tarrow& tarrow, int minutes, const MenuActions& actions) {
    const bool strict = tarrow.store().config().strictLocks;
    tarrow.store().setConfig(lockedFor(tarrow.store().config(), minutes, tarrow.now(), strict));
    tarrow.log("tarrow for " + std::to_string(minutes) + " min" + (strict ? ", strict" : "") +
               " (menu)");
    afterSwitchingOn(tarrow, actions);
}

void toggleStrict(Tarrow& tarrow) {
    Config config = tarrow.store().config();
    config.strictLocks = !config.strictLocks;
    tarrow.store().setConfig(std::move(config));
}

void toggleSite(Tarrow& tarrow, std::string_view id) {
    Config config = tarrow.store().config();
    for (Site& site : config.sites) {
        if (site.id != id) continue;
        site.enabled = !site.enabled;
        tarrow.store().setConfig(std::move(config));
        return;
    }
}

void toggleSchedule(Tarrow& tarrow, std::string_view id) {
    Config config = tarrow.store().config();
    for (Schedule& schedule : config.schedules) {
        if (schedule.id != id) continue;
        schedule.enabled = !schedule.enabled;
        tarrow.store().setConfig(std::move(config));
        return;
    }
}

void setUp(Tarrow& tarrow, const MenuActions& actions) {
    if (tarrow.store().helper() == Helper::working) return;
    run(actions.installHelper);
    tarrow.clearMismatch();
    tarrow.tick();
}

void remove(Tarrow& tarrow, const MenuActions& actions) {
    run(actions.removeHelper);
    tarrow.tick();
}

void show(Tarrow&, Tab tab, const MenuActions& actions) {
    if (tab == Tab::general && actions.refreshBrowsers) actions.refreshBrowsers();
    run(actions.showSettings, tab);
}

void showLog(Tarrow& tarrow, const MenuActions& actions) {
    run(actions.open, fileIn(tarrow.paths().folder, "tarrow.log"));
}

void openSite(const MenuActions& actions) {
    run(actions.open, std::string(siteURL));
}

void showPrivacy(const MenuActions& actions) {
    run(actions.open, std::string(siteURL) + "privacy.html");
}

void openAutomationSettings(const MenuActions& actions) {
    run(actions.open, std::string(automationSettingsURL));
}

void choose(Tarrow& tarrow, const MenuEntry& entry, const MenuActions& actions) {
    switch (entry.command) {
        case MenuCommand::none:
            return;
        case MenuCommand::setUp:
            setUp(tarrow, actions);
            return;
        case MenuCommand::toggleMain:
            toggleMain(tarrow, actions);
            return;
        case MenuCommand::cancelOpening:
            if (tarrow.opensAt()) tarrow.okayNow("menu");  // while waiting it cancels
            return;
        case MenuCommand::lockFor:
            if (entry.minutes) lockFor(tarrow, *entry.minutes, actions);
            return;
        case MenuCommand::toggleStrict:
            toggleStrict(tarrow);
            return;
        case MenuCommand::toggleSite:
            toggleSite(tarrow, entry.id);
            return;
        case MenuCommand::toggleSchedule:
            toggleSchedule(tarrow, entry.id);
            return;
        case MenuCommand::editSites:
            show(tarrow, Tab::sites, actions);
            return;
        case MenuCommand::editSchedules:
            show(tarrow, Tab::schedules, actions);
            return;
        case MenuCommand::editGeneral:
            show(tarrow, Tab::general, actions);
            return;
        case MenuCommand::about:
            run(actions.about);
            return;
        case MenuCommand::quit:
            tarrow.quit();
            return;
    }
}

}  // namespace tarrow::app
