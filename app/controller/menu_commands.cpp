#include "app/controller/menu_commands.h"

#include "app/controller/tarrow.h"
#include "app/model/state_folder.h"

namespace tarrow::app {

namespace {

// Runs an action the app may not have connected yet; says so in the log when it has not.
template <typename Action, typename... Args>
void run(Tarrow& tarrow, const Action& action, std::string_view what, Args&&... args) {
    if (action)
        action(std::forward<Args>(args)...);
    else
        tarrow.log(std::string(what) + " is not there yet");
}

void afterSwitchingOn(Tarrow& tarrow, const MenuActions& actions) {
    if (tarrow.store().helper() == Helper::missing) setUp(tarrow, actions);
    if (actions.askBrowsers) actions.askBrowsers();
}

}  // namespace

void toggleMain(Tarrow& tarrow, const MenuActions& actions) {
    const bool on = !tarrow.evaluation().on;
    tarrow.store().setConfig(
        switched(tarrow.store().config(), on, tarrow.now(), tarrow.calendar()));
    tarrow.log(on ? "tarrow (menu)" : "okay, now (menu)");
    if (on) afterSwitchingOn(tarrow, actions);
}

void lockFor(Tarrow& tarrow, int minutes, const MenuActions& actions) {
    tarrow.store().setConfig(lockedFor(tarrow.store().config(), minutes, tarrow.now()));
    tarrow.log("tarrow for " + std::to_string(minutes) + " min (menu)");
    afterSwitchingOn(tarrow, actions);
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
    run(tarrow, actions.installHelper, "helper installation");
    tarrow.clearMismatch();
    tarrow.tick();
}

void remove(Tarrow& tarrow, const MenuActions& actions) {
    run(tarrow, actions.removeHelper, "helper removal");
    tarrow.tick();
}

void show(Tarrow& tarrow, Tab tab, const MenuActions& actions) {
    if (tab == Tab::general && actions.refreshBrowsers) actions.refreshBrowsers();
    run(tarrow, actions.showSettings, "the settings window", tab);
}

void showLog(Tarrow& tarrow, const MenuActions& actions) {
    run(tarrow, actions.open, "opening files", fileIn(tarrow.paths().folder, "tarrow.log"));
}

void openSite(const MenuActions& actions) {
    if (actions.open) actions.open(std::string(siteURL));
}

void showPrivacy(const MenuActions& actions) {
    if (actions.open) actions.open(std::string(siteURL) + "privacy.html");
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
        case MenuCommand::lockFor:
            if (entry.minutes) lockFor(tarrow, *entry.minutes, actions);
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
            run(tarrow, actions.about, "the About window");
            return;
        case MenuCommand::quit:
            tarrow.quit();
            return;
    }
}

}  // namespace tarrow::app
