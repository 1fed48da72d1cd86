#pragma once
// The real settings window with the Schedules and General tabs on a store in a scratch
// folder, a calendar of a chosen locale, and every hook the tabs call recorded.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/model/calendar.h"
#include "app/model/config_json.h"
#include "app/ui/settings_window.h"
#include "app/ui/store_signals.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::test {

struct TabsRig {
    test::TempFolder folder;
    Calendar calendar;
    std::vector<std::string> logged;
    std::vector<std::string> calls;  // the hooks the tabs called, in order
    std::unique_ptr<Store> store;
    std::unique_ptr<ui::StoreSignals> observed;
    std::unique_ptr<ui::SettingsWindow> window;

    // `configText` is written as config.json before the store reads it.
    explicit TabsRig(const std::string& configText, const std::string& locale = "en_US",
                     LoginItem login = {}, std::optional<std::string> agent = {})
        : calendar("Europe/Berlin", locale) {
        test::writeFile(folder / "config.json", configText);
        store = std::make_unique<Store>(folder.path);
        store->setHelper(Helper::working);
        observed = std::make_unique<ui::StoreSignals>(*store);
        ui::SettingsHooks hooks;
        auto record = [this](const char* call) { return [this, call] { calls.push_back(call); }; };
        const LogFn log = [this](std::string_view line) { logged.emplace_back(line); };
        hooks.sites.log = log;
        hooks.sites.setUp = record("set up");
        hooks.sites.removeHelper = record("remove helper");
        hooks.schedules = {record("set up"), record("remove helper")};
        hooks.general.log = log;
        hooks.general.setUp = record("set up");
        hooks.general.removeHelper = record("remove helper");
        hooks.general.login = std::move(login);
        hooks.general.agent = std::move(agent);
        hooks.general.askBrowsers = record("ask browsers");
        hooks.general.openAutomationSettings = record("automation settings");
        hooks.general.about = record("about");
        hooks.general.openSite = record("website");
        hooks.general.showPrivacy = record("privacy");
        hooks.general.showLog = record("show log");
        hooks.calendar = &calendar;
        window = std::make_unique<ui::SettingsWindow>(*observed, std::move(hooks));
    }
    explicit TabsRig(const Config& config, const std::string& locale = "en_US")
        : TabsRig(encodeConfig(config), locale) {}
    ~TabsRig() {
        window.reset();
        QApplication::processEvents();  // rows deleted later go now
    }

    ui::SchedulesView& schedules() const { return *window->schedules(); }
    ui::GeneralView& general() const { return *window->general(); }
    void open(Tab tab) const {
        window->showTab(tab);
        if (!QTest::qWaitForWindowExposed(window.get())) ADD_FAILURE() << "window not shown";
    }
    Config onDisk() const {
        return decodeConfig(test::readFile(folder / "config.json").value_or("")).value_or(Config());
    }
    void click(QWidget* widget) const {
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(6, widget->height() / 2));
    }
};

}  // namespace tarrow::test
