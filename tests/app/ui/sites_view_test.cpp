#include "app/ui/sites_view.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QToolButton>
#include <future>
#include <thread>

#include "app/browser/suggestion_loader.h"
#include "app/model/site_lines.h"
#include "app/model/sites_texts.h"
#include "app/ui/setup_box.h"
#include "tests/app/ui/settings_fixture.h"
#include "tests/support/qt_app.h"

namespace tarrow::test {
namespace {

class SitesView : public ::testing::Test {
  protected:
    void SetUp() override { ensureQtApp(); }
};

using Domains = std::vector<std::string>;
using Keys = std::vector<std::string>;

bool has(const Keys& keys, const std::string& key) {
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

// Which typed names are refused or switch a listed site on again is the model's test.
TEST_F(SitesView, TypingAndReturnAddTheSite) {
    SettingsRig rig(sitesConfig({"bild.de"}));
    rig.open(Tab::sites);
    ui::SitesView& view = rig.sites();
    QLineEdit* entry = view.entry();
    EXPECT_EQ(rig.focused(), entry);

    // Refused: the text stays for correcting, the problem shows, nothing is written.
    QTest::keyClicks(entry, "you tube");
    rig.click(view.addButton());
    EXPECT_TRUE(view.problemLine()->isVisible());
    EXPECT_EQ(view.problemLabel()->text(), text(notAnAddress("you tube")));
    EXPECT_EQ(entry->accessibleDescription(), view.problemLabel()->text());
    EXPECT_EQ(entry->text(), "you tube");
    EXPECT_EQ(rig.diskDomains(), Domains{"bild.de"});

    // Blank: the button is off, but Return still says what is wrong.
    entry->selectAll();
    QTest::keyClicks(entry, "   ");
    EXPECT_FALSE(view.addButton()->isEnabled());
    QTest::keyClick(entry, Qt::Key_Return);
    EXPECT_EQ(view.problemLabel()->text(), text(notAnAddress("")));

    entry->clear();
    QTest::keyClicks(entry, "  Example.COM ");
    EXPECT_TRUE(view.addButton()->isEnabled());
    QTest::keyClick(entry, Qt::Key_Return);
    EXPECT_EQ(rig.diskDomains(), (Domains{"bild.de", "example.com"}));
    EXPECT_EQ(rig.logged, Domains{"site added: example.com"});
    EXPECT_EQ(entry->text(), "");
    EXPECT_FALSE(view.addButton()->isEnabled());
    EXPECT_FALSE(view.problemLine()->isVisible());
    // Offered nowhere below, so it is under "Your list" at once.
    const Keys keys = rig.keys();
    ASSERT_GE(keys.size(), 3u);
    EXPECT_EQ(
        Keys(keys.begin(), keys.begin() + 3),
        (Keys{"heading:your", "site:" + rig.idOf("bild.de"), "site:" + rig.idOf("example.com")}));
}

TEST_F(SitesView, TickingKeepsTheScrollPositionAndTheFocus) {
    SettingsRig rig(sitesConfig({"bild.de"}));
    rig.open(Tab::sites);
    ui::SitesList* list = rig.sites().list();
    ui::SiteRow* spiegel = rig.row("preset:spiegel.de");
    ASSERT_NE(spiegel, nullptr);
    EXPECT_EQ(spiegel->detailLabel()->text(), "spiegel.de");  // a popular site names its domain
    list->ensureWidgetVisible(spiegel);
    const int scrolled = list->verticalScrollBar()->value();
    ASSERT_GT(scrolled, 0);

    rig.click(spiegel->checkBox());
    EXPECT_EQ(rig.diskDomains(), (Domains{"bild.de", "spiegel.de"}));
    EXPECT_EQ(rig.logged, Domains{"site added: spiegel.de"});
    EXPECT_EQ(rig.row("preset:spiegel.de"), spiegel);  // the same row, not a new one
    EXPECT_TRUE(spiegel->checkBox()->isChecked());
    EXPECT_EQ(list->verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(rig.focused(), spiegel->checkBox());

    rig.click(spiegel->checkBox());  // unticking a popular site takes it off the list
    EXPECT_EQ(rig.diskDomains(), Domains{"bild.de"});
    EXPECT_EQ(list->verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(rig.focused(), spiegel->checkBox());

    // Unticking under "Your list" only switches the site off; it stays, drawn dim.
    ui::SiteRow* bild = rig.row("site:" + rig.idOf("bild.de"));
    ASSERT_NE(bild, nullptr);
    rig.click(bild->checkBox());
    EXPECT_EQ(rig.diskDomains(), Domains{"bild.de (off)"});
    EXPECT_EQ(rig.row("site:" + rig.idOf("bild.de")), bild);
    EXPECT_TRUE(bild->dim());
    EXPECT_FALSE(bild->checkBox()->isChecked());
    rig.click(bild->checkBox());
    EXPECT_FALSE(bild->dim());
}

TEST_F(SitesView, RemovingMovesTheFocusToTheNeighbour) {
    SettingsRig rig(sitesConfig({"a.example", "b.example", "c.example"}));
    rig.open(Tab::sites);
    const std::string a = "site:" + rig.idOf("a.example"), b = "site:" + rig.idOf("b.example"),
                      c = "site:" + rig.idOf("c.example");
    ui::SiteRow* rowB = rig.row(b);

    rig.click(rowB->removeButton());
    EXPECT_EQ(rig.diskDomains(), (Domains{"a.example", "c.example"}));
    EXPECT_EQ(rig.logged, Domains{"site removed: b.example"});
    EXPECT_EQ(rig.row(b), nullptr);
    EXPECT_EQ(rig.focused(), rig.row(c)->removeButton());

    rig.click(rig.row(c)->removeButton());  // the last row: the one before takes the focus
    EXPECT_EQ(rig.focused(), rig.row(a)->removeButton());
    rig.click(rig.row(a)->removeButton());  // none left: back to the add field
    EXPECT_EQ(rig.focused(), static_cast<QWidget*>(rig.sites().entry()));
    EXPECT_EQ(rig.diskDomains(), Domains{});
    // The rows' widgets are gone, not only hidden.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    size_t rows = 0;
    for (QWidget* child : rig.sites().list()->findChildren<QWidget*>())
        rows += dynamic_cast<ui::SiteRow*>(child) != nullptr;
    EXPECT_EQ(rows, 49u);  // the popular sites
}

TEST_F(SitesView, GroupingChangesOnlyWhenTheTabComesBack) {
    Config config = sitesConfig({"bild.de", "store.steampowered.com", "chess.com"});
    SettingsRig rig(config);
    rig.open(Tab::sites);
    EXPECT_FALSE(has(rig.keys(), "heading:Games"));  // every game is on the list
    EXPECT_TRUE(has(rig.keys(), "heading:Video"));

    rig.click(rig.row("preset:youtube.com")->checkBox());
    EXPECT_TRUE(has(rig.keys(), "preset:youtube.com"));
    EXPECT_EQ(rig.sites().tab().listed(),
              (std::set<std::string>{"bild.de", "chess.com", "store.steampowered.com"}));

    rig.window->tabs()->setCurrentIndex(int(Tab::schedules));
    EXPECT_FALSE(rig.sites().tab().listed());
    rig.window->tabs()->setCurrentIndex(int(Tab::sites));
    EXPECT_EQ(rig.focused(), static_cast<QWidget*>(rig.sites().entry()));
    const Keys keys = rig.keys();
    EXPECT_TRUE(has(keys, "site:" + rig.idOf("youtube.com")));
    EXPECT_FALSE(has(keys, "preset:youtube.com"));
}

TEST_F(SitesView, SuggestionStates) {
    SettingsRig rig(sitesConfig({"bild.de"}));
    rig.open(Tab::sites);
    Store& store = *rig.store;
    auto suggestionKeys = [&] {
        Keys out;
        const Keys keys = rig.keys();
        auto at = std::find(keys.begin(), keys.end(), "heading:suggestions");
        for (++at; at < keys.end() && at->rfind("heading:", 0) != 0; ++at) out.push_back(*at);
        return out;
    };
    store.setSuggesting(true);
    EXPECT_EQ(suggestionKeys(), (Keys{"loading", "note:history"}));

    store.setSuggestions({{"foo.de", 42}, {"bild.de", 30}, {"reddit.com", 12}});
    store.setSuggesting(false);
    EXPECT_EQ(suggestionKeys(),
              (Keys{"suggestion:foo.de", "suggestion:reddit.com", "note:history"}));
    EXPECT_FALSE(has(rig.keys(), "preset:reddit.com"));  // shown once, as a suggestion
    EXPECT_TRUE(rig.row("suggestion:foo.de")->detailLabel()->text().endsWith(" visits"));

    rig.click(rig.row("suggestion:foo.de")->checkBox());
    EXPECT_EQ(rig.diskDomains(), (Domains{"bild.de", "foo.de"}));

    store.setLockedBrowsers({"Firefox", "Chromium"});
    EXPECT_EQ(suggestionKeys(), (Keys{"suggestion:foo.de", "suggestion:reddit.com", "note:history",
                                      "note:locked-under"}));
    // Nothing on this system to open: no button.
    EXPECT_EQ(rig.sites().list()->widget("note:locked-under")->findChild<QPushButton*>(), nullptr);

    store.setSuggestions({});
    store.setLockedBrowsers({"Firefox"});
    EXPECT_EQ(suggestionKeys(), (Keys{"note:locked", "note:history"}));

    store.setLockedBrowsers({});
    EXPECT_EQ(suggestionKeys(), (Keys{"note:none", "note:history"}));

    store.setSuggestions({{"bild.de", 30}});
    EXPECT_EQ(suggestionKeys(), (Keys{"note:all", "note:history"}));

    Config off = store.config();
    off.suggest = false;
    store.setConfig(off);
    EXPECT_FALSE(has(rig.keys(), "heading:suggestions"));
}

// The history is read on a worker thread; the window goes on answering meanwhile.
TEST_F(SitesView, SuggestionsArriveFromTheWorkerWithoutBlocking) {
    SettingsRig rig(sitesConfig({}));
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
                         return BrowsingSuggestions{{{"foo.de", 42}}, {}, 1, {}};
                     },
                     [&rig](std::string_view line) { rig.logged.emplace_back(line); }});

    rig.open(Tab::sites);  // coming on screen asks for the suggestions
    EXPECT_TRUE(has(rig.keys(), "loading"));
    QTest::keyClicks(rig.sites().entry(), "abc");
    QApplication::processEvents();
    EXPECT_EQ(rig.sites().entry()->text(), "abc");

    release.set_value();
    EXPECT_TRUE(waitUntil([&] { return rig.row("suggestion:foo.de") != nullptr; }, 5000));
    EXPECT_FALSE(has(rig.keys(), "loading"));
    EXPECT_EQ(rig.logged, Domains{"suggestions: 1 sites from 1 browser histories"});
}

// The week's attempts and why a site still opens reach the grey line of a listed site as
// they change (the line's wording is the model's test); no line stays behind without them.
TEST_F(SitesView, TheDetailLineFollowsAttemptsAndStillOpenNames) {
    SettingsRig rig(sitesConfig({"youtube.com", "example.com"}));
    rig.open(Tab::sites);
    ui::SiteRow* youtube = rig.row("site:" + rig.idOf("youtube.com"));
    ui::SiteRow* example = rig.row("site:" + rig.idOf("example.com"));
    const std::vector<OpenName> open = {{"www.youtube.com", "a later line of /etc/hosts names it"}};
    rig.store->setWeekAttempts({{"youtube.com", 14}, {"example.com", 1}});
    rig.store->setStillOpen({{"youtube.com", open}});
    EXPECT_EQ(youtube->detailLabel()->text(), text(*detail("youtube.com", 14, "en_US", open)));
    EXPECT_EQ(example->detailLabel()->text(), text(*detail("example.com", 1)));
    EXPECT_TRUE(example->detailLabel()->isVisible());
    rig.store->setWeekAttempts({});
    rig.store->setStillOpen({});
    EXPECT_EQ(youtube->detailLabel()->text(), text(*detail("youtube.com")));
    EXPECT_FALSE(example->detailLabel()->isVisible());
}

// Explanations and switched-off sites are drawn in the text colour at 0.62 opacity, also
// after the desktop changes from a light to a dark palette.
TEST_F(SitesView, MutedTextFollowsANewPalette) {
    Config config = sitesConfig({"youtube.com"});
    config.sites[0].enabled = false;
    SettingsRig rig(config);
    rig.open(Tab::sites);
    ui::SiteRow* row = rig.row("site:" + rig.idOf("youtube.com"));
    auto ink = [](QWidget* widget) { return widget->palette().color(QPalette::WindowText); };
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x2B, 0x2A, 0x33));
    dark.setColor(QPalette::WindowText, QColor(0xEE, 0xEC, 0xF2));
    for (const QPalette& palette : {dark, light}) {
        QApplication::setPalette(palette);
        QApplication::processEvents();  // the change reaches the widgets as a posted event
        QColor expected = palette.color(QPalette::WindowText);
        expected.setAlphaF(0.62f);
        EXPECT_EQ(ink(row->detailLabel()), expected);
        EXPECT_EQ(ink(row->checkBox()), expected);  // switched off: dim
        EXPECT_EQ(ink(rig.sites().list()->widget("note:history")->findChild<QLabel*>()), expected);
    }
    rig.click(row->checkBox());  // on again: the palette's own colour
    EXPECT_EQ(ink(row->checkBox()), light.color(QPalette::WindowText));
}

TEST_F(SitesView, AccessibleNamesAndFocusOrderTopToBottom) {
    SettingsRig rig(sitesConfig({"a.example", "youtube.com"}));
    rig.store->setHelper(Helper::outdated);
    rig.open(Tab::sites);
    ui::SitesView& view = rig.sites();
    EXPECT_FALSE(view.entry()->accessibleName().isEmpty());
    QCheckBox* youtube = rig.row("site:" + rig.idOf("youtube.com"))->checkBox();
    EXPECT_EQ(youtube->accessibleName(), "YouTube");
    EXPECT_EQ(youtube->accessibleDescription(), text(*detail("youtube.com")));

    // Tab walks the whole window once, top to bottom, and reaches every control.
    QTest::keyClicks(view.entry(), "x");  // the Add button takes part once it works
    std::vector<QWidget*> visited;
    QWidget* start = rig.focused();
    ASSERT_EQ(start, view.entry());
    for (int i = 0; i < 1000; ++i) {
        QTest::keyClick(rig.focused(), Qt::Key_Tab);
        if (rig.focused() == start) break;
        visited.push_back(rig.focused());
    }
    std::vector<QWidget*> expected = {view.addButton()};
    for (QWidget* control : view.list()->controls()) expected.push_back(control);
    ASSERT_GE(visited.size(), expected.size());
    EXPECT_EQ(std::vector<QWidget*>(visited.begin(), visited.begin() + expected.size()), expected);
    // Then round again from the top: the tab bar and the set-up buttons, before the field.
    const std::vector<QWidget*> top(visited.begin() + expected.size(), visited.end());
    EXPECT_EQ(top,
              (std::vector<QWidget*>{rig.window->tabs()->tabBar(), view.setupBox()->setUpButton(),
                                     view.setupBox()->removeButton()}));
}

}  // namespace
}  // namespace tarrow::test
