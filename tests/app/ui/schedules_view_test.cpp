#include "app/ui/schedules_view.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include "app/model/schedules_texts.h"
#include "app/ui/day_chip.h"
#include "app/ui/schedule_row.h"
#include "app/ui/settings.h"
#include "app/ui/settings_window.h"
#include "app/ui/time_field.h"
#include "tests/app/ui/settings_fixture.h"
#include "tests/support/qt_app.h"
#include "tests/support/rig.h"

namespace tarrow::test {
namespace {

class SchedulesView : public ::testing::Test {
  protected:
    void SetUp() override { ensureQtApp(); }
};

const std::string idA = "11111111-1111-4111-8111-111111111111";
const std::string idB = "22222222-2222-4222-8222-222222222222";

std::set<int> checkedDays(const ui::ScheduleRow& row) {
    std::set<int> days;
    for (int day = 1; day <= 7; ++day)
        if (row.chip(day)->isChecked()) days.insert(day);
    return days;
}

// A new user's weekday morning: each control of the row reaches the file on disk (the
// edits themselves are the tab logic's test), and the row's texts follow what is saved.
TEST_F(SchedulesView, AddSwitchEditAndRemove) {
    SettingsRig rig(Config{});
    rig.open(Tab::schedules);
    ui::SchedulesView& view = rig.schedules();
    rig.click(view.addButton());
    ASSERT_EQ(view.rowCount(), 1u);
    ui::ScheduleRow& row = *view.row(0);
    EXPECT_EQ(checkedDays(row), (std::set<int>{2, 3, 4, 5, 6}));
    EXPECT_EQ(row.startField()->text() + " " + row.endField()->text(), "9:00 AM 12:00 PM");
    EXPECT_FALSE(row.caption()->isVisible());

    rig.click(row.enabledSwitch());
    rig.click(row.chip(1));  // Sunday on
    rig.click(row.chip(2));  // Monday off
    row.startField()->setFocus();
    QTest::keyClick(row.startField(), Qt::Key_Up);  // the arrow steps the hour
    row.endField()->setTime(QTime(2, 0));           // an end before the start is kept
    const Schedule saved = rig.onDisk().schedules.at(0);
    EXPECT_EQ(saved, (Schedule{saved.id, false, {1, 3, 4, 5, 6}, 600, 120}));
    const ScheduleRowTexts texts = scheduleRowTexts(saved, rig.calendar);
    EXPECT_TRUE(row.caption()->isVisible());
    EXPECT_EQ((QStringList{row.caption()->text(), row.enabledSwitch()->accessibleName(),
                           row.startField()->accessibleName(), row.endField()->accessibleName(),
                           row.removeButton()->accessibleName()}),
              (QStringList{text(texts.offCaption), text(texts.switchName), text(texts.startName),
                           text(texts.endName), text(texts.removeName)}));
    rig.click(row.enabledSwitch());
    EXPECT_FALSE(row.caption()->isVisible());

    rig.click(row.removeButton());
    EXPECT_TRUE(rig.onDisk().schedules.empty());
    EXPECT_EQ(view.rowCount(), 0u);
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(view.addButton()));
}

// The tray menu switches and the command file adds while the tab is open: the rows follow.
TEST_F(SchedulesView, FollowsChangesMadeElsewhere) {
    Config config;
    config.schedules = {{idA, true, {2, 3, 4, 5, 6}, 540, 720}};
    SettingsRig rig(config);
    rig.open(Tab::schedules);
    ui::SchedulesView& view = rig.schedules();

    Config changed = rig.store->config();
    changed.schedules[0].enabled = false;  // as "Schedules" in the tray menu does
    changed.schedules.push_back({idB, true, {1, 7}, 0, 0});
    rig.store->setConfig(changed);
    ASSERT_EQ(view.rowCount(), 2u);
    EXPECT_FALSE(view.row(0)->enabledSwitch()->isChecked());
    EXPECT_TRUE(view.row(0)->caption()->isVisible());
    EXPECT_EQ(checkedDays(*view.row(1)), (std::set<int>{1, 7}));

    changed.schedules.erase(changed.schedules.begin());
    rig.store->setConfig(changed);
    ASSERT_EQ(view.rowCount(), 1u);
    EXPECT_EQ(checkedDays(*view.row(0)), (std::set<int>{1, 7}));
    EXPECT_TRUE(view.row(0)->enabledSwitch()->isChecked());
}

// A hand-edited file: days outside 1..7 and twice, times outside a day, one id three
// times. Everything shows; a click reaches its own row (the rest is the tab logic's test).
TEST_F(SchedulesView, HandEditedFileShowsAndEditsOneRow) {
    const std::string text = R"({"schedules": [
      {"id": ")" + idA + R"(", "enabled": true, "days": [0, 3, 3, 9], "start": -5, "end": 2000},
      {"id": ")" + idA + R"(", "enabled": true, "days": [2], "start": 540, "end": 720},
      {"id": ")" + idA + R"(", "enabled": false, "days": [], "start": 1440, "end": 1440}
    ]})";
    SettingsRig rig(text);
    rig.open(Tab::schedules);
    ui::SchedulesView& view = rig.schedules();
    ASSERT_EQ(view.rowCount(), 3u);
    EXPECT_EQ(checkedDays(*view.row(0)), std::set<int>{3});
    // -5 is 23:55, 2000 is 33:20
    EXPECT_EQ(view.row(0)->startField()->text() + " " + view.row(0)->endField()->text(),
              "11:55 PM 9:20 AM");
    EXPECT_EQ(view.row(2)->startField()->text(), "12:00 AM");
    EXPECT_TRUE(view.row(2)->caption()->isVisible());

    rig.click(view.row(1)->chip(4));
    EXPECT_EQ(rig.onDisk().schedules, (std::vector<Schedule>{{idA, true, {0, 3, 9}, -5, 2000},
                                                             {idA, true, {2, 4}, 540, 720},
                                                             {idA, false, {}, 1440, 1440}}));
}

// In each locale the week starts on its own first day, the clock keeps its 12 or 24
// hours, and no text is cut: every control is at least as wide as it asks to be and
// every wrapped line as tall, also right to left.
TEST_F(SchedulesView, LocalesRenderWithoutClippedTexts) {
    struct Case {
        const char* locale;
        int firstDay;
        const char* nine;  // 09:00 in the time field
    };
    const Case cases[] = {
        {"en_US", 1, "9:00 AM"},
        {"de_DE", 2, "09:00"},
        {"ja_JP", 1, "9:00"},
        {"ar_EG", 7, "\u0669:\u0660\u0660 \u0635"},
    };
    for (const Case& c : cases) {
        Config config;
        config.schedules = {{idA, false, {1, 2, 3, 4, 5, 6, 7}, 540, 1260}};
        SettingsRig rig(config, c.locale);
        rig.store->setHelper(Helper::stuck);
        if (std::string(c.locale) == "ar_EG") rig.window->setLayoutDirection(Qt::RightToLeft);
        rig.open(Tab::schedules);
        ui::ScheduleRow& row = *rig.schedules().row(0);
        EXPECT_EQ(row.controls()[1], row.chip(c.firstDay)) << c.locale;
        EXPECT_EQ(row.startField()->text(), QString::fromUtf8(c.nine)) << c.locale;

        EXPECT_EQ(clippedIn(rig.schedules()), std::vector<std::string>{}) << c.locale;
        // The row fits beside the scroll bar: nothing hides to the side.
        EXPECT_FALSE(rig.schedules().list()->horizontalScrollBar()->isVisible()) << c.locale;
    }
}

// From the tray's "Edit Schedules…" to a blocked site: a new user adds the weekday
// morning schedule on a Saturday; on Monday at 09:00 (a faked clock) the next tick asks
// for the site to be blocked, and at 12:00 for nothing.
TEST_F(SchedulesView, AWeekdayMorningBlocksAtItsStart) {
    Rig rig;
    rig.clock = at("2026-10-24T10:00:00+02:00");  // a Saturday
    rig.start(configWith({"example.com"}, false));
    rig.tick();
    ui::Settings settings(*rig.tarrow, {});
    settings.show(Tab::schedules);
    ui::SchedulesView& view = *settings.window().schedules();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&settings.window()));
    QTest::mouseClick(view.addButton(), Qt::LeftButton);
    ASSERT_EQ(view.rowCount(), 1u);
    rig.tick();
    EXPECT_EQ(rig.request(), "");
    EXPECT_EQ(view.statusLabel()->text().toStdString(),
              "Everything open \u2013 next schedule Mon 9:00\u202FAM");

    rig.clock = at("2026-10-26T09:00:00+01:00");  // Monday, after the clocks went back
    rig.tick();
    EXPECT_EQ(rig.requestLines(),
              (std::vector<std::string>{"example.com", "www.example.com", "m.example.com"}));
    rig.advance(3 * 3600);  // 12:00, the end
    rig.tick();
    EXPECT_EQ(rig.request(), "");
}

}  // namespace
}  // namespace tarrow::test
