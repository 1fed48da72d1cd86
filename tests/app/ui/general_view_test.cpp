#include "app/ui/general_view.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "app/model/browser_line.h"
#include "app/model/general_texts.h"
#include "app/model/setup_texts.h"
#include "app/ui/schedules_view.h"
#include "app/ui/setup_box.h"
#include "app/ui/sites_view.h"
#include "tests/app/ui/settings_fixture.h"
#include "tests/support/qt_app.h"

namespace tarrow::test {
namespace {

class GeneralView : public ::testing::Test {
  protected:
    void SetUp() override { ensureQtApp(); }
};

// The set-up box of each tab, for each helper state: shown, its text and its buttons,
// which reach the hooks; and each tab's status line.
TEST_F(GeneralView, SetupBoxOnEveryTabPerHelperState) {
    struct Case {
        Helper helper;
        bool onSitesAndSchedules;  // shown there (General always shows its box)
        std::string_view setUp;    // the first button; empty: not shown
        bool remove;
    };
    const Case cases[] = {
        {Helper::missing, true, setUpTitle, false},
        {Helper::outdated, true, repairTitle, true},  // stuck takes the same branch
        {Helper::working, false, {}, true},
    };
    SettingsRig rig(Config{});
    for (const Case& c : cases) {
        rig.store->setHelper(c.helper);
        const std::pair<Tab, ui::SetupBox*> boxes[] = {
            {Tab::sites, rig.sites().setupBox()},
            {Tab::schedules, rig.schedules().setupBox()},
            {Tab::general, rig.general().setupBox()},
        };
        for (const auto& [tab, box] : boxes) {
            rig.open(tab);
            const bool shown = tab == Tab::general || c.onSitesAndSchedules;
            SCOPED_TRACE("tab " + std::to_string(int(tab)) + ", helper " +
                         std::to_string(int(c.helper)));
            ASSERT_EQ(box->isVisible(), shown);
            if (!shown) continue;
            EXPECT_EQ(box->textLabel()->text().toStdString(), helperText(c.helper));
            EXPECT_EQ(box->setUpButton()->isVisible(), !c.setUp.empty());
            EXPECT_EQ(box->removeButton()->isVisible(), c.remove);
            rig.calls.clear();
            std::vector<std::string> expected;
            if (!c.setUp.empty()) {
                rig.click(box->setUpButton());
                expected.push_back("set up");
            }
            if (c.remove) {
                rig.click(box->removeButton());
                expected.push_back("remove helper");
            }
            EXPECT_EQ(rig.calls, expected);
        }
    }
    rig.store->setStatus("Open \u2013 no schedule");
    EXPECT_EQ(rig.sites().statusLabel()->text(), QString::fromUtf8("Open \u2013 no schedule"));
    EXPECT_EQ(rig.schedules().statusLabel()->text(), rig.sites().statusLabel()->text());
}

// The login switch shows what the system reads back, also after a failure, and reads it
// again on showing. (The autostart files themselves are the platform's tests.)
TEST_F(GeneralView, LoginSwitchShowsWhatTheSystemHas) {
    bool enabled = false;
    Status next;  // what switching returns
    const LoginItem login{[&] { return enabled; },
                          [&](bool on) {
                              if (next.ok()) enabled = on;
                              return next;
                          }};
    SettingsRig rig(encodeConfig(Config{}), "en_US", login);
    rig.open(Tab::general);
    QCheckBox* box = rig.general().loginSwitch();
    EXPECT_TRUE(box->isEnabled() && !box->isChecked());
    rig.click(box);
    EXPECT_TRUE(enabled && box->isChecked());
    enabled = false;  // switched off elsewhere: seen on showing
    rig.window->showTab(Tab::sites);
    rig.open(Tab::general);
    EXPECT_FALSE(box->isChecked());
    next = Status::failure("create", "/home/u/.config/autostart", ENOTDIR);
    rig.click(box);
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(rig.logged.size(), 2u);  // on, then the failure
}

TEST_F(GeneralView, LoginSwitchLockedWhileAUserUnitStartedTheApp) {
    int switched = 0;
    const LoginItem login{[] { return true; },
                          [&](bool) {
                              ++switched;
                              return Status();
                          }};
    SettingsRig rig(encodeConfig(Config{}), "en_US", login, "tarrow.service");
    rig.open(Tab::general);
    QCheckBox* box = rig.general().loginSwitch();
    EXPECT_FALSE(box->isEnabled());
    EXPECT_EQ(box->toolTip(), text(startedByTip("tarrow.service")));
    rig.click(box);
    EXPECT_EQ(switched, 0);
}

// The two switches write config.json at once and follow changes made elsewhere.
TEST_F(GeneralView, PageAndSuggestionSwitches) {
    SettingsRig rig(Config{});
    rig.open(Tab::general);
    ui::GeneralView& view = rig.general();
    EXPECT_TRUE(view.noticeSwitch()->isChecked());
    EXPECT_TRUE(view.suggestSwitch()->isChecked());

    rig.click(view.noticeSwitch());
    EXPECT_FALSE(rig.onDisk().notice);
    rig.click(view.suggestSwitch());
    EXPECT_FALSE(rig.onDisk().suggest);

    Config config = rig.store->config();
    config.notice = true;
    rig.store->setConfig(config);
    EXPECT_TRUE(view.noticeSwitch()->isChecked());
}

// No browser can be scripted on Linux: no consent row.
TEST_F(GeneralView, NoBrowserConsentRowWithoutScriptableBrowsers) {
    SettingsRig rig(Config{});
    rig.open(Tab::general);
    EXPECT_FALSE(rig.general().browserRow()->isVisible());
}

TEST_F(GeneralView, FooterButtonsEachDoTheirOwnThing) {
    SettingsRig rig(Config{});
    rig.open(Tab::general);
    ui::GeneralView& view = rig.general();
    for (int i = 0; i < 4; ++i) rig.click(view.footerButton(i));
    EXPECT_EQ(rig.calls, (std::vector<std::string>{"about", "website", "privacy", "show log"}));
}

// Every text of the tab fits in the window, in each locale and also right to left.
TEST_F(GeneralView, LocalesRenderWithoutClippedTexts) {
    for (const char* locale : {"en_US", "de_DE", "ar_EG", "ja_JP"}) {
        SettingsRig rig(Config{}, locale);
        rig.store->setHelper(Helper::stuck);
        rig.store->setBrowsers({{"com.google.Chrome", "Chrome", Consent::denied}});
        if (std::string(locale) == "ar_EG") rig.window->setLayoutDirection(Qt::RightToLeft);
        rig.open(Tab::general);
        EXPECT_EQ(clippedIn(rig.general()), std::vector<std::string>{}) << locale;
    }
}

}  // namespace
}  // namespace tarrow::test
