#pragma once
// The real settings window on a store in a scratch folder, with its log and the hooks it
// calls recorded. Qt's off-screen platform unless the program chose another one.

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QTabWidget>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/model/config_json.h"
#include "app/ui/settings_window.h"
#include "app/ui/site_row.h"
#include "app/ui/sites_list.h"
#include "app/ui/store_signals.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::test {

struct SettingsRig {
    test::TempFolder folder;
    std::vector<std::string> logged;
    int setUps = 0, removals = 0, openSettings = 0;
    std::unique_ptr<Store> store;
    std::unique_ptr<ui::StoreSignals> observed;
    std::unique_ptr<ui::SettingsWindow> window;

    explicit SettingsRig(const Config& config, bool readsHistory = true) {
        test::writeFile(folder / "config.json", encodeConfig(config));
        store = std::make_unique<Store>(folder.path);
        store->readsHistory = readsHistory;
        store->setHelper(Helper::working);
        observed = std::make_unique<ui::StoreSignals>(*store);
        ui::SettingsHooks hooks;
        hooks.sites.log = [this](std::string_view line) { logged.emplace_back(line); };
        hooks.sites.setUp = [this] { ++setUps; };
        hooks.sites.removeHelper = [this] { ++removals; };
        hooks.openSettings = [this] { ++openSettings; };
        window = std::make_unique<ui::SettingsWindow>(*observed, std::move(hooks));
    }
    ~SettingsRig() {
        window.reset();
        QApplication::processEvents();  // rows deleted later go now
    }

    ui::SitesView& sites() const { return *window->sites(); }
    // The window on a tab, active, as after a click in the tray.
    void open(Tab tab) const {
        window->showTab(tab);
        if (!QTest::qWaitForWindowActive(window.get())) ADD_FAILURE() << "window not active";
    }
    // The widget with the keyboard focus in the window.
    QWidget* focused() const { return window->focusWidget(); }
    // The configuration as the file on disk has it.
    Config onDisk() const {
        return decodeConfig(test::readFile(folder / "config.json").value_or("")).value_or(Config());
    }
    std::vector<std::string> diskDomains() const {
        std::vector<std::string> out;
        for (const Site& site : onDisk().sites)
            out.push_back(site.domain + (site.enabled ? "" : " (off)"));
        return out;
    }
    ui::SiteRow* row(const std::string& key) const {
        return dynamic_cast<ui::SiteRow*>(sites().list()->widget(key));
    }
    std::string idOf(const std::string& domain) const {
        for (const Site& site : store->config().sites)
            if (site.domain == domain) return site.id;
        return {};
    }
    // The keys the list shows, in order.
    std::vector<std::string> keys() const {
        std::vector<std::string> out;
        for (const ui::ListItem& item : sites().items()) out.push_back(item.key);
        return out;
    }
    void click(QWidget* widget) const {
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(8, widget->height() / 2));
    }
};

inline Config sitesConfig(const std::vector<std::string>& domains) {
    Config config;
    for (const std::string& d : domains) config.sites.push_back(Site::named(d));
    return config;
}

}  // namespace tarrow::test
