// The settings window edits the configuration: each control of its tabs, driven as a user
// would, reaches config.json through the real store and its writer thread; the tray's
// items open it; its texts fit and stand out in every locale and palette.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <future>
#include <thread>

#include "app/browser/suggestion_loader.h"
#include "app/model/config_json.h"
#include "app/model/sites_texts.h"
#include "app/ui/appearance.h"
#include "app/ui/day_chip.h"
#include "app/ui/schedule_row.h"
#include "app/ui/settings.h"
#include "app/ui/settings_window.h"
#include "app/ui/setup_box.h"
#include "app/ui/site_row.h"
#include "app/ui/sites_list.h"
#include "app/ui/store_signals.h"
#include "app/ui/time_field.h"
#include "app/ui/tray_menu.h"
#include "app/ui/ui_text.h"
#include "app/ui/welcome_window.h"
#include "common/file_writer.h"
#include "tests/support/files.h"
#include "tests/support/qt_app.h"
#include "tests/support/rig.h"
#include "tests/support/temp_folder.h"

namespace tarrow::test {
namespace {

using Strings = std::vector<std::string>;

// The real window on a store in a scratch folder; saves go to a writer thread as in the
// app, and the hooks it calls are recorded.
struct SettingsRig {
    TempFolder folder;
    Calendar calendar;
    Strings logged, calls;
    mutable FileWriter writer{[](std::function<void()> done) {
        QMetaObject::invokeMethod(qApp, std::move(done), Qt::QueuedConnection);
    }};
    std::unique_ptr<Store> store;
    std::unique_ptr<ui::StoreSignals> observed;
    std::unique_ptr<ui::SettingsWindow> window;

    explicit SettingsRig(const Config& config, const std::string& locale = "en_US",
                         LoginItem login = {})
        : calendar("Europe/Berlin", locale) {
        ensureQtApp();
        writeFile(folder / "config.json", encodeConfig(config));
        store = std::make_unique<Store>(folder.path);
        store->writeFile = [this](FileWrite write) { writer.write(std::move(write)); };
        store->readsHistory = true;
        store->setHelper(Helper::working);
        observed = std::make_unique<ui::StoreSignals>(*store);
        ui::SettingsHooks hooks;
        auto record = [this](const char* call) { return [this, call] { calls.push_back(call); }; };
        hooks.sites.log =
            hooks.general.log = [this](std::string_view l) { logged.emplace_back(l); };
        hooks.sites.setUp = hooks.schedules.setUp = hooks.general.setUp = record("set up");
        hooks.sites.removeHelper = hooks.general.removeHelper = record("remove helper");
        hooks.general.login = std::move(login);
        hooks.general.showLog = record("show log");
        hooks.general.askBrowsers = record("ask");
        hooks.general.openAutomationSettings = record("open");
        hooks.calendar = &calendar;
        window = std::make_unique<ui::SettingsWindow>(*observed, std::move(hooks));
    }
    ~SettingsRig() {
        writer.finish(std::chrono::seconds{10});
        window.reset();
        QApplication::processEvents();
    }
    void open(Tab tab) const {
        window->showTab(tab);
        if (!QTest::qWaitForWindowActive(window.get())) ADD_FAILURE() << "window not active";
    }
    Config onDisk() const {
        if (!writer.finish(std::chrono::seconds{10})) ADD_FAILURE() << "a save hangs";
        return decodeConfig(readFile(folder / "config.json").value_or("")).value_or(Config());
    }
    Strings diskDomains() const {
        Strings out;
        for (const Site& site : onDisk().sites)
            out.push_back(site.domain + (site.enabled ? "" : " (off)"));
        return out;
    }
    ui::SitesView& sites() const { return *window->sites(); }
    ui::SiteRow* row(const std::string& key) const {
        return dynamic_cast<ui::SiteRow*>(sites().list()->widget(key));
    }
    ui::SiteRow* site(const std::string& domain) const {
        for (const Site& s : store->config().sites)
            if (s.domain == domain) return row("site:" + s.id);
        return nullptr;
    }
    void click(QWidget* widget) const {
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(6, widget->height() / 2));
    }
};

Config sitesConfig(const Strings& domains) {
    Config config;
    for (const std::string& d : domains) config.sites.push_back(Site::named(d));
    return config;
}

TEST(SettingsWindow, TheSitesTabAddsTicksSwitchesOffAndRemoves) {
    SettingsRig rig(sitesConfig({"bild.de", "a.example"}));
    rig.open(Tab::sites);
    ui::SitesView& view = rig.sites();
    QLineEdit* entry = view.entry();
    EXPECT_EQ(rig.window->focusWidget(), entry);
    QTest::keyClicks(entry, "you tube");  // refused: the text stays, the problem shows
    rig.click(view.addButton());
    EXPECT_EQ(view.problemLabel()->text(), ui::text(notAnAddress("you tube")));
    EXPECT_EQ(entry->accessibleDescription(), view.problemLabel()->text());
    entry->clear();
    QTest::keyClicks(entry, "  Example.COM ");
    QTest::keyClick(entry, Qt::Key_Return);
    EXPECT_EQ(rig.diskDomains(), (Strings{"bild.de", "a.example", "example.com"}));
    EXPECT_EQ(entry->text(), "");

    // A popular site: ticked in place, the same row, scroll and focus kept.
    ui::SiteRow* spiegel = rig.row("preset:spiegel.de");
    EXPECT_EQ(spiegel->detailLabel()->text(), "spiegel.de");
    view.list()->ensureWidgetVisible(spiegel);
    const int scrolled = view.list()->verticalScrollBar()->value();
    ASSERT_GT(scrolled, 0);
    for (bool on : {true, false}) {
        rig.click(spiegel->checkBox());
        EXPECT_EQ(rig.diskDomains().size(), on ? 4u : 3u);
        EXPECT_EQ(rig.row("preset:spiegel.de"), spiegel);
        EXPECT_EQ(view.list()->verticalScrollBar()->value(), scrolled);
        EXPECT_EQ(rig.window->focusWidget(), spiegel->checkBox());
    }
    // A listed site unticked is only switched off, drawn dim; removed, its neighbour
    // takes the focus.
    rig.click(rig.site("bild.de")->checkBox());
    EXPECT_TRUE(rig.site("bild.de")->dim());
    rig.click(rig.site("a.example")->removeButton());
    EXPECT_EQ(rig.diskDomains(), (Strings{"bild.de (off)", "example.com"}));
    EXPECT_EQ(rig.window->focusWidget(), rig.site("example.com")->removeButton());
    EXPECT_EQ(rig.logged, (Strings{"site added: example.com", "site added: spiegel.de",
                                   "site removed: spiegel.de", "site removed: a.example"}));
}

// The history is read on a worker thread; the window answers meanwhile, and a suggestion
// ticked is listed.
TEST(SettingsWindow, SuggestionsArriveWithoutBlockingTheWindow) {
    SettingsRig rig(sitesConfig({"bild.de"}));
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    installSuggestionLoader(
        *rig.store, {[](std::function<void()> job) { std::thread(std::move(job)).detach(); },
                     [](std::function<void()> job) {
                         QMetaObject::invokeMethod(qApp, std::move(job), Qt::QueuedConnection);
                     },
                     {},
                     [released] {
                         released.wait();
                         return BrowsingSuggestions{{{"foo.de", 42}, {"bild.de", 30}}, {}, 1, {}};
                     },
                     [&rig](std::string_view line) { rig.logged.emplace_back(line); }});
    rig.open(Tab::sites);  // coming on screen asks for the suggestions
    EXPECT_NE(rig.sites().list()->widget("loading"), nullptr);
    QTest::keyClicks(rig.sites().entry(), "abc");
    QApplication::processEvents();
    EXPECT_EQ(rig.sites().entry()->text(), "abc");
    release.set_value();
    ASSERT_TRUE(waitUntil([&] { return rig.row("suggestion:foo.de") != nullptr; }, 5000));
    EXPECT_EQ(rig.row("suggestion:bild.de"), nullptr);  // listed already
    rig.click(rig.row("suggestion:foo.de")->checkBox());
    EXPECT_EQ(rig.diskDomains(), (Strings{"bild.de", "foo.de"}));
    // What shows instead of the suggestions, and the note under them while one is locked.
    const std::tuple<std::vector<Suggestion>, Strings, const char*> notes[] = {
        {{}, {}, "note:none"},
        {{{"bild.de", 30}}, {}, "note:all"},
        {{}, {"Firefox"}, "note:locked"},
        {{{"x.de", 12}}, {"Firefox"}, "note:locked-under"}};
    for (const auto& [suggestions, locked, key] : notes) {
        rig.store->setSuggestions(suggestions);
        rig.store->setLockedBrowsers(locked);
        EXPECT_NE(rig.sites().list()->widget(key), nullptr) << key;
    }
}

TEST(SettingsWindow, TheSchedulesTabAddsEditsAndRemoves) {
    SettingsRig rig(Config{});
    rig.open(Tab::schedules);
    ui::SchedulesView& view = *rig.window->schedules();
    rig.click(view.addButton());
    ASSERT_EQ(view.rowCount(), 1u);
    ui::ScheduleRow& row = *view.row(0);
    EXPECT_EQ(row.startField()->text() + " " + row.endField()->text(), "9:00 AM 12:00 PM");
    rig.click(row.enabledSwitch());
    rig.click(row.chip(1));  // Sunday on
    rig.click(row.chip(2));  // Monday off
    row.startField()->setFocus();
    QTest::keyClick(row.startField(), Qt::Key_Up);  // the arrow steps the hour
    row.endField()->setTime(QTime(2, 0));           // an end before the start is kept
    const Schedule saved = rig.onDisk().schedules.at(0);
    EXPECT_EQ(saved, (Schedule{saved.id, false, {1, 3, 4, 5, 6}, 600, 120}));
    EXPECT_TRUE(row.caption()->isVisible());  // says it is off

    Config changed = rig.store->config();  // as the tray menu does, while the tab is open
    changed.schedules.push_back(Schedule::make(true, {7}, 0, 0));
    rig.store->setConfig(changed);
    ASSERT_EQ(view.rowCount(), 2u);
    EXPECT_TRUE(view.row(1)->chip(7)->isChecked());
    rig.click(view.row(0)->removeButton());
    rig.click(view.row(0)->removeButton());
    EXPECT_TRUE(rig.onDisk().schedules.empty());
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(view.addButton()));
}

TEST(SettingsWindow, TheGeneralTabSwitchesAndTheSetUpBoxes) {
    bool enabled = false;
    Status next;                 // what switching the login item returns
    std::thread::id switchedOn;  // the autostart entry is written with fsync: not here
    SettingsRig rig(Config{}, "en_US",
                    LoginItem{[&] { return enabled; },
                              [&](bool on) {
                                  switchedOn = std::this_thread::get_id();
                                  if (next.ok()) enabled = on;
                                  return next;
                              }});
    rig.open(Tab::general);
    ui::GeneralView& view = *rig.window->general();
    rig.click(view.noticeSwitch());
    rig.click(view.suggestSwitch());
    EXPECT_FALSE(rig.onDisk().notice || rig.onDisk().suggest);
    const auto switched = [&] {
        return waitUntil([&] { return view.loginSwitch()->isEnabled(); });
    };
    rig.click(view.loginSwitch());
    EXPECT_TRUE(switched() && enabled && view.loginSwitch()->isChecked());
    EXPECT_NE(switchedOn, std::this_thread::get_id());
    next = Status::failure("create", "/home/u/.config/autostart", ENOTDIR);
    rig.click(view.loginSwitch());
    EXPECT_TRUE(switched() && view.loginSwitch()->isChecked());  // what the system has
    rig.click(view.footerButton(3));
    // Each helper state's box: shown on Sites only when something is to be done.
    for (Helper helper : {Helper::missing, Helper::outdated, Helper::working}) {
        rig.store->setHelper(helper);
        rig.open(Tab::sites);
        ui::SetupBox* box = rig.sites().setupBox();
        EXPECT_EQ(box->isVisible(), helper != Helper::working);
        if (box->isVisible() && box->setUpButton()->isVisible()) rig.click(box->setUpButton());
        if (box->isVisible() && box->removeButton()->isVisible()) rig.click(box->removeButton());
    }
    enabled = false;  // switched off in the desktop's own settings: read again on showing
    rig.open(Tab::general);
    EXPECT_FALSE(view.loginSwitch()->isChecked());
    EXPECT_FALSE(view.browserRow()->isVisible());  // no browser is scripted here
    for (Consent consent : {Consent::notAsked, Consent::denied, Consent::granted}) {
        rig.store->setBrowsers({{"com.google.Chrome", "Chrome", consent}});
        EXPECT_EQ(view.consentButton()->isVisible(), consent != Consent::granted);
        if (view.consentButton()->isVisible()) rig.click(view.consentButton());
    }
    EXPECT_EQ(rig.calls, (Strings{"show log", "set up", "set up", "remove helper", "ask", "open"}));
}

QAction* find(QMenu* menu, const QString& title) {
    for (QAction* action : menu->actions()) {
        if (action->text() == title) return action;
        if (action->menu())
            if (QAction* inner = find(action->menu(), title)) return inner;
    }
    return nullptr;
}

// The tray's items open the one window on their tab; the menu is rebuilt on opening and
// its site items switch sites; without a tray the window's button opens the same menu.
TEST(SettingsWindow, TheTrayMenuOpensItAndSwitchesSites) {
    ensureQtApp();
    Rig rig(HelperFiles::none);
    Config config = configWith({"example.com", "R&D.example"}, false);
    config.sites[1].enabled = false;
    rig.start(config);
    int installs = 0;
    app::MenuActions actions;
    actions.installHelper = [&] { return ++installs, false; };
    ui::Settings settings(*rig.tarrow, actions);
    actions.showSettings = [&settings](Tab tab) { settings.show(tab); };
    ui::TrayMenu tray(*rig.tarrow, actions);
    emit tray.menu()->aboutToShow();
    const std::pair<const char*, int> items[] = {
        {"Edit Sites\u2026", 0}, {"Edit Schedules\u2026", 1}, {"Settings\u2026", 2}};
    for (const auto& [title, tab] : items) {
        find(tray.menu(), QString::fromUtf8(title))->trigger();
        EXPECT_TRUE(settings.window().isVisible());
        EXPECT_EQ(settings.window().tabs()->currentIndex(), tab) << title;
    }
    find(tray.menu(), "R&&D.example")->trigger();
    EXPECT_TRUE(rig.store->config().sites[1].enabled);
    rig.command("on");  // taken by the next opening's tick
    emit tray.menu()->aboutToShow();
    EXPECT_TRUE(rig.store->config().manualOn);
    EXPECT_TRUE(find(tray.menu(), "R&&D.example")->isChecked());
    settings.showWelcome();  // its "Set Up Blocking…" runs the same set-up
    ASSERT_TRUE(QTest::qWaitForWindowActive(settings.welcome()));
    QTest::keyClick(settings.welcome(), Qt::Key_Return);
    EXPECT_EQ(installs, 1);
    EXPECT_FALSE(settings.welcome()->isVisible());

    settings.offerMenu(tray.menu());
    QToolButton* button = settings.window().menuButton();
    ASSERT_TRUE(button->isVisible());
    qsizetype shown = 0;
    QTimer::singleShot(0, [&] {
        shown = tray.menu()->actions().size();
        tray.menu()->close();
    });
    button->showMenu();  // returns once the menu closes
    EXPECT_EQ(shown, qsizetype(tray.entries().size()));
    settings.offerMenu(nullptr);
    EXPECT_FALSE(button->isVisible());
}

// Relative luminance (+ 0.05) of ink blended onto its background by its alpha.
double luminance(const QColor& ink, const QColor& back) {
    const double a = ink.alphaF(), weight[] = {0.2126, 0.7152, 0.0722};
    const double i[] = {ink.redF(), ink.greenF(), ink.blueF()};
    const double b[] = {back.redF(), back.greenF(), back.blueF()};
    double sum = 0.05;
    for (int n = 0; n < 3; ++n) {
        const double v = i[n] * a + b[n] * (1 - a);
        sum += weight[n] * (v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
    }
    return sum;
}

// Every tab in each locale, right to left too, and in the light and dark palettes: no
// control narrower than its text, no wrapped label shorter than its lines, nothing outside
// the tab, and every label's ink (muted ones blended) 4.5:1 against the window.
TEST(SettingsWindow, EveryTextFitsAndStandsOutInEachLocaleAndPalette) {
    for (const std::string locale : {"en_US", "de_DE", "ar_EG", "ja_JP"}) {
        Config config = sitesConfig({"youtube.com", "example.org"});
        config.sites[1].enabled = false;
        config.schedules = {Schedule::make(false, {1, 2, 3, 4, 5, 6, 7}, 540, 1260)};
        SettingsRig rig(config, locale);
        rig.store->setHelper(Helper::stuck);
        if (locale == "ar_EG") rig.window->setLayoutDirection(Qt::RightToLeft);
        QApplication::setPalette(ui::appearancePalette(locale == "en_US" ? ui::Appearance::light
                                                                         : ui::Appearance::dark));
        for (Tab tab : {Tab::sites, Tab::schedules, Tab::general}) {
            rig.open(tab);
            QWidget& page = *rig.window->tabs()->currentWidget();
            for (QWidget* w : page.findChildren<QWidget*>()) {
                if (!w->isVisible()) continue;
                const auto* label = qobject_cast<QLabel*>(w);
                const std::string name =
                    locale + " " + w->metaObject()->className() + " " +
                    (label ? label->text() : w->accessibleName()).toStdString();
                const bool sized = label || qobject_cast<QAbstractButton*>(w) ||
                                   qobject_cast<QAbstractSpinBox*>(w);
                const int short_ = label && label->wordWrap()
                                       ? label->heightForWidth(w->width()) - w->height()
                                   : sized ? w->sizeHint().width() - w->width()
                                           : 0;
                EXPECT_LE(short_, 0) << name << " is cut";
                EXPECT_TRUE(tab == Tab::sites ||
                            page.rect().contains(QRect(w->mapTo(&page, QPoint(0, 0)), w->size())))
                    << name;
                if (!label || label->text().isEmpty()) continue;
                const QColor back = w->palette().color(QPalette::Window);
                const double l1 = luminance(w->palette().color(QPalette::WindowText), back),
                             l2 = luminance(back, back);
                EXPECT_GE(std::max(l1, l2) / std::min(l1, l2), 4.5) << name;
            }
        }
    }
    // Left dark; a theme change brings back the desktop's appearance, light here.
    ui::followDesktopAppearance(*qApp);
    QEvent theme(QEvent::ThemeChange);
    QApplication::sendEvent(qApp, &theme);
    EXPECT_TRUE(waitUntil(
        [] { return QApplication::palette() == ui::appearancePalette(ui::Appearance::light); }));
}

}  // namespace
}  // namespace tarrow::test
