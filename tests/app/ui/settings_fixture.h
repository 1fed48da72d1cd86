#pragma once
// The real settings window on a store in a scratch folder, a calendar of a chosen locale,
// its log and every hook its tabs call recorded. Qt's off-screen platform unless the
// program chose another one.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTabWidget>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/model/calendar.h"
#include "app/model/config_json.h"
#include "app/ui/settings_window.h"
#include "app/ui/site_row.h"
#include "app/ui/sites_list.h"
#include "app/ui/store_signals.h"
#include "app/ui/ui_text.h"
#include "common/file_writer.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::test {

using ui::text;

struct SettingsRig {
    TempFolder folder;
    Calendar calendar;
    std::vector<std::string> logged;
    std::vector<std::string> calls;  // the hooks the window called, in order
    // Saves go to a writer thread as in the app, their results back through the event loop.
    mutable FileWriter writer{[](std::function<void()> done) {
        QMetaObject::invokeMethod(qApp, std::move(done), Qt::QueuedConnection);
    }};
    std::unique_ptr<Store> store;
    std::unique_ptr<ui::StoreSignals> observed;
    std::unique_ptr<ui::SettingsWindow> window;

    // `configText` is written as config.json before the store reads it.
    explicit SettingsRig(const std::string& configText, const std::string& locale = "en_US",
                         LoginItem login = {}, std::optional<std::string> agent = {})
        : calendar("Europe/Berlin", locale) {
        writeFile(folder / "config.json", configText);
        store = std::make_unique<Store>(folder.path);
        store->writeFile = [this](FileWrite write) { writer.write(std::move(write)); };
        store->readsHistory = true;
        store->setHelper(Helper::working);
        observed = std::make_unique<ui::StoreSignals>(*store);
        ui::SettingsHooks hooks;
        auto record = [this](const char* call) { return [this, call] { calls.push_back(call); }; };
        const LogFn log = [this](std::string_view line) { logged.emplace_back(line); };
        hooks.sites.log = hooks.general.log = log;
        hooks.sites.setUp = hooks.schedules.setUp = hooks.general.setUp = record("set up");
        hooks.sites.removeHelper = hooks.schedules.removeHelper = hooks.general.removeHelper =
            record("remove helper");
        hooks.general.login = std::move(login);
        hooks.general.agent = std::move(agent);
        hooks.general.askBrowsers = record("ask browsers");
        hooks.general.openAutomationSettings = record("automation settings");
        hooks.general.about = record("about");
        hooks.general.openSite = record("website");
        hooks.general.showPrivacy = record("privacy");
        hooks.general.showLog = record("show log");
        hooks.calendar = &calendar;
        hooks.openSettings = record("open settings");
        window = std::make_unique<ui::SettingsWindow>(*observed, std::move(hooks));
    }
    explicit SettingsRig(const Config& config, const std::string& locale = "en_US")
        : SettingsRig(encodeConfig(config), locale) {}
    ~SettingsRig() {
        writer.finish(std::chrono::seconds{10});
        window.reset();
        QApplication::processEvents();  // rows deleted later go now
    }

    ui::SitesView& sites() const { return *window->sites(); }
    ui::SchedulesView& schedules() const { return *window->schedules(); }
    ui::GeneralView& general() const { return *window->general(); }
    // The window on a tab, active, as after a click in the tray.
    void open(Tab tab) const {
        window->showTab(tab);
        if (!QTest::qWaitForWindowActive(window.get())) ADD_FAILURE() << "window not active";
    }
    QWidget* focused() const { return window->focusWidget(); }
    // The configuration as the file on disk has it once the saves asked for are written.
    Config onDisk() const {
        if (!writer.finish(std::chrono::seconds{10})) ADD_FAILURE() << "a save hangs";
        return decodeConfig(readFile(folder / "config.json").value_or("")).value_or(Config());
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
    // The keys the Sites list shows, in order.
    std::vector<std::string> keys() const {
        std::vector<std::string> out;
        for (const ui::ListItem& item : sites().items()) out.push_back(item.key);
        return out;
    }
    void click(QWidget* widget) const {
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(6, widget->height() / 2));
    }
};

inline Config sitesConfig(const std::vector<std::string>& domains) {
    Config config;
    for (const std::string& d : domains) config.sites.push_back(Site::named(d));
    return config;
}

// The shown controls of a tab whose text is cut: a wrapped label shorter than its lines,
// a label, button or field narrower than it asks to be, or anything reaching out of it.
inline std::vector<std::string> clippedIn(QWidget& tab) {
    std::vector<std::string> out;
    for (QWidget* w : tab.findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        const auto* label = qobject_cast<QLabel*>(w);
        const std::string name = std::string(w->metaObject()->className()) + " " +
                                 (label ? label->text() : w->accessibleName()).toStdString();
        const bool sized =
            label || qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractSpinBox*>(w);
        if (label && label->wordWrap() ? w->height() < label->heightForWidth(w->width())
                                       : sized && w->width() < w->sizeHint().width())
            out.push_back(name);
        if (!tab.rect().contains(QRect(w->mapTo(&tab, QPoint(0, 0)), w->size())))
            out.push_back(name + " outside the tab");
    }
    return out;
}

}  // namespace tarrow::test
