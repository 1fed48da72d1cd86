#include "app/ui/general_view.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <filesystem>

#include "app/model/setup_texts.h"
#include "app/ui/setup_box.h"
#include "platform/autostart.h"
#include "tests/app/ui/tabs_fixture.h"
#include "tests/support/qt_app.h"

namespace tarrow::test {
namespace {

class GeneralView : public ::testing::Test {
  protected:
    void SetUp() override { ensureQtApp(); }
};

// The set-up box of each tab, for each helper state: shown, its text and its buttons.
TEST_F(GeneralView, SetupBoxOnEveryTabPerHelperState) {
    struct Case {
        Helper helper;
        bool onSitesAndSchedules;  // shown there (General always shows its box)
        const char* setUp;         // the first button; null: not shown
        bool remove;
    };
    const Case cases[] = {
        {Helper::missing, true, "Set Up Blocking\u2026", false},
        {Helper::outdated, true, "Repair\u2026", true},
        {Helper::stuck, true, "Repair\u2026", true},
        {Helper::working, false, nullptr, true},
    };
    TabsRig rig(Config{});
    for (const Case& c : cases) {
        rig.store->setHelper(c.helper);
        const std::pair<Tab, ui::SetupBox*> boxes[] = {
            {Tab::sites, rig.window->sites()->setupBox()},
            {Tab::schedules, rig.schedules().setupBox()},
            {Tab::general, rig.general().setupBox()},
        };
        for (const auto& [tab, box] : boxes) {
            rig.open(tab);
            const bool shown = tab == Tab::general || c.onSitesAndSchedules;
            const std::string where =
                "tab " + std::to_string(int(tab)) + ", helper " + std::to_string(int(c.helper));
            ASSERT_EQ(box->isVisible(), shown) << where;
            if (!shown) continue;
            EXPECT_EQ(box->title(), "Blocking") << where;
            EXPECT_EQ(box->textLabel()->text().toStdString(), helperText(c.helper)) << where;
            EXPECT_EQ(box->setUpButton()->isVisible(), c.setUp != nullptr) << where;
            if (c.setUp) {
                EXPECT_EQ(box->setUpButton()->text(), QString::fromUtf8(c.setUp));
            }
            EXPECT_EQ(box->removeButton()->isVisible(), c.remove) << where;
        }
    }
    // With the helper working, General's box offers the removal alone.
    rig.click(rig.general().setupBox()->removeButton());
    rig.store->setHelper(Helper::missing);
    rig.click(rig.general().setupBox()->setUpButton());
    EXPECT_EQ(rig.calls, (std::vector<std::string>{"remove helper", "set up"}));
}

// The login switch against the real autostart files in a temporary XDG_CONFIG_HOME.
TEST_F(GeneralView, LoginSwitchWritesAndRemovesTheAutostartEntry) {
    test::TempFolder xdg;
    ::setenv("XDG_CONFIG_HOME", (xdg / "config").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (xdg / "system").c_str(), 1);
    const platform::AutostartPlaces places = platform::autostartPlaces();
    const LoginItem login{
        [&] { return platform::autostartEnabled(places); },
        [&](bool on) { return platform::setAutostart(places, on, "/usr/bin/tarrow"); }};
    TabsRig rig(encodeConfig(Config{}), "en_US", login);
    rig.open(Tab::general);
    QCheckBox* box = rig.general().loginSwitch();
    EXPECT_EQ(box->text(), "Start Tarrow at login");
    EXPECT_TRUE(box->isEnabled());
    EXPECT_TRUE(box->toolTip().isEmpty());
    EXPECT_FALSE(box->isChecked());

    rig.click(box);
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(test::exists(places.user));
    rig.click(box);
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(test::exists(places.user));

    // A system-wide entry: switching off hides it for this user.
    test::writeFile(xdg / "system/autostart/de.brightloom.tarrow.desktop",
                    "[Desktop Entry]\nType=Application\nName=Tarrow\nExec=tarrow\n");
    rig.window->showTab(Tab::sites);
    rig.open(Tab::general);  // read again on showing
    EXPECT_TRUE(box->isChecked());
    rig.click(box);
    EXPECT_FALSE(box->isChecked());
    EXPECT_NE(test::readFile(places.user).value_or("").find("Hidden=true"), std::string::npos);

    // A file where the folder should be: the failure is logged and the switch shows the
    // truth. Without the user's entry the system's runs again, and hiding it fails too.
    std::filesystem::remove_all(xdg / "config/autostart");
    test::writeFile(xdg / "config/autostart", "in the way\n");
    const std::string failed =
        "start at login failed: cannot create " + xdg / "config/autostart" + ": Not a directory";
    rig.click(box);
    EXPECT_TRUE(box->isChecked());
    rig.click(box);
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(rig.logged, (std::vector<std::string>{"start at login: on", "start at login: off",
                                                    "start at login: off", failed, failed}));
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_CONFIG_DIRS");
}

TEST_F(GeneralView, LoginSwitchLockedWhileAUserUnitStartedTheApp) {
    bool enabled = true;
    int switched = 0;
    const LoginItem login{[&] { return enabled; },
                          [&](bool) {
                              ++switched;
                              return Status();
                          }};
    TabsRig rig(encodeConfig(Config{}), "en_US", login, "tarrow.service");
    rig.open(Tab::general);
    QCheckBox* box = rig.general().loginSwitch();
    EXPECT_FALSE(box->isEnabled());
    EXPECT_EQ(box->toolTip(), "Started by the systemd user unit tarrow.service.");
    rig.click(box);
    EXPECT_EQ(switched, 0);
}

// The two switches write config.json at once and follow changes made elsewhere.
TEST_F(GeneralView, PageAndSuggestionSwitches) {
    TabsRig rig(Config{});
    rig.open(Tab::general);
    ui::GeneralView& view = rig.general();
    EXPECT_EQ(view.noticeSwitch()->text(),
              QString::fromUtf8("Show Tarrow\u2019s page when a blocked site is opened"));
    EXPECT_EQ(view.suggestSwitch()->text(), "Suggest sites from my browsing history");
    EXPECT_TRUE(view.noticeSwitch()->isChecked());
    EXPECT_TRUE(view.suggestSwitch()->isChecked());

    rig.click(view.noticeSwitch());
    EXPECT_FALSE(rig.onDisk().notice);
    rig.click(view.suggestSwitch());
    EXPECT_FALSE(rig.onDisk().suggest);
    EXPECT_TRUE(rig.onDisk().schedules.empty());

    Config config = rig.store->config();
    config.notice = true;
    rig.store->setConfig(config);
    EXPECT_TRUE(view.noticeSwitch()->isChecked());
}

// No browser can be scripted on Linux: no consent row. Where some can (macOS), the row
// says where each one stands and offers the one button that helps.
TEST_F(GeneralView, BrowserConsentRow) {
    TabsRig rig(Config{});
    rig.open(Tab::general);
    ui::GeneralView& view = rig.general();
    EXPECT_FALSE(view.browserRow()->isVisible());

    rig.store->setBrowsers({{"com.google.Chrome", "Chrome", Consent::notAsked},
                            {"com.apple.Safari", "Safari", Consent::granted}});
    ASSERT_TRUE(view.browserRow()->isVisible());
    EXPECT_EQ(view.browserText()->text(), "Safari: allowed. Chrome: not asked yet.");
    EXPECT_EQ(view.consentButton()->text(), QString::fromUtf8("Allow\u2026"));
    rig.click(view.consentButton());

    rig.store->setBrowsers({{"com.google.Chrome", "Chrome", Consent::denied}});
    EXPECT_EQ(view.consentButton()->text(), QString::fromUtf8("Open Automation Settings\u2026"));
    rig.click(view.consentButton());

    rig.store->setBrowsers({{"com.google.Chrome", "Chrome", Consent::granted}});
    EXPECT_FALSE(view.consentButton()->isVisible());
    EXPECT_EQ(rig.calls, (std::vector<std::string>{"ask browsers", "automation settings"}));
}

TEST_F(GeneralView, FooterNameVersionAndButtons) {
    QApplication::setApplicationVersion("1.2.3");
    TabsRig rig(Config{});
    rig.open(Tab::general);
    ui::GeneralView& view = rig.general();
    EXPECT_EQ(view.versionLabel()->text(), "Tarrow 1.2.3");
    const char* titles[] = {"About Tarrow", "Website", "Privacy", "Show Log"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(view.footerButton(i)->text(), titles[i]);
        rig.click(view.footerButton(i));
    }
    EXPECT_EQ(rig.calls, (std::vector<std::string>{"about", "website", "privacy", "show log"}));
}

// Every text of the tab fits in the window, in each locale and also right to left.
TEST_F(GeneralView, LocalesRenderWithoutClippedTexts) {
    for (const char* locale : {"en_US", "de_DE", "ar_EG", "ja_JP"}) {
        TabsRig rig(Config{}, locale);
        rig.store->setHelper(Helper::stuck);
        rig.store->setBrowsers({{"com.google.Chrome", "Chrome", Consent::denied}});
        if (std::string(locale) == "ar_EG") rig.window->setLayoutDirection(Qt::RightToLeft);
        rig.open(Tab::general);
        for (QWidget* w : rig.general().findChildren<QWidget*>()) {
            if (!w->isVisible()) continue;
            const auto* label = qobject_cast<QLabel*>(w);
            if (label && label->wordWrap()) {
                EXPECT_GE(w->height(), label->heightForWidth(w->width()))
                    << locale << " " << label->text().toStdString();
            } else if (label || qobject_cast<QAbstractButton*>(w)) {
                EXPECT_GE(w->width(), w->sizeHint().width())
                    << locale << " " << w->metaObject()->className();
            }
            EXPECT_TRUE(rig.general().rect().contains(
                QRect(w->mapTo(&rig.general(), QPoint(0, 0)), w->size())))
                << locale << " " << w->metaObject()->className() << " outside the tab";
        }
    }
}

}  // namespace
}  // namespace tarrow::test
