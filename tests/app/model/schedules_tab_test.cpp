#include "app/model/schedules_tab.h"

#include <gtest/gtest.h>

#include "app/model/config_json.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

using namespace test;

const std::string idA = "11111111-1111-4111-8111-111111111111";
const std::string idB = "22222222-2222-4222-8222-222222222222";

// A store on a config.json in a scratch folder and the tab on top of it.
struct SchedulesRig {
    TempFolder folder;
    std::unique_ptr<Store> store;
    std::unique_ptr<SchedulesTab> tab;

    explicit SchedulesRig(const std::string& configText) {
        writeFile(folder / "config.json", configText);
        store = std::make_unique<Store>(folder.path);
        tab = std::make_unique<SchedulesTab>(*store);
    }
    explicit SchedulesRig(const std::vector<Schedule>& schedules)
        : SchedulesRig(encodeConfig(Config({}, schedules))) {}

    std::vector<Schedule> onDisk() const {
        return decodeConfig(readFile(folder / "config.json").value_or(""))
            .value_or(Config())
            .schedules;
    }
    RowRef row(size_t index) const { return {index, store->config().schedules.at(index).id}; }
};

Schedule schedule(const std::string& id, bool on, std::set<int> days, int start, int end) {
    return {id, on, std::move(days), start, end};
}

// Every step is saved at once: the file on disk says what the store holds.
TEST(SchedulesTab, EachEditIsSavedAtOnce) {
    SchedulesRig rig(std::vector<Schedule>{});
    rig.tab->add();
    ASSERT_EQ(rig.onDisk().size(), 1u);
    const Schedule added = rig.onDisk()[0];
    EXPECT_EQ(added, schedule(added.id, true, {2, 3, 4, 5, 6}, 540, 720));
    EXPECT_FALSE(added.id.empty());

    struct Step {
        const char* what;
        std::function<bool(SchedulesTab&, const RowRef&)> edit;
        Schedule after;
    };
    const std::string id = added.id;
    const Step steps[] = {
        {"switch off", [](SchedulesTab& t, const RowRef& r) { return t.setEnabled(r, false); },
         schedule(id, false, {2, 3, 4, 5, 6}, 540, 720)},
        {"Sunday on", [](SchedulesTab& t, const RowRef& r) { return t.setDay(r, 1, true); },
         schedule(id, false, {1, 2, 3, 4, 5, 6}, 540, 720)},
        {"Monday off", [](SchedulesTab& t, const RowRef& r) { return t.setDay(r, 2, false); },
         schedule(id, false, {1, 3, 4, 5, 6}, 540, 720)},
        {"start 22:00", [](SchedulesTab& t, const RowRef& r) { return t.setStart(r, 1320); },
         schedule(id, false, {1, 3, 4, 5, 6}, 1320, 720)},
        {"end 02:00, before the start",
         [](SchedulesTab& t, const RowRef& r) { return t.setEnd(r, 120); },
         schedule(id, false, {1, 3, 4, 5, 6}, 1320, 120)},
        {"switch on", [](SchedulesTab& t, const RowRef& r) { return t.setEnabled(r, true); },
         schedule(id, true, {1, 3, 4, 5, 6}, 1320, 120)},
    };
    for (const Step& step : steps) {
        EXPECT_TRUE(step.edit(*rig.tab, rig.row(0))) << step.what;
        EXPECT_EQ(rig.onDisk(), std::vector<Schedule>{step.after}) << step.what;
    }
    // Every day off leaves the schedule with no days at all.
    for (int day : {1, 3, 4, 5, 6}) EXPECT_TRUE(rig.tab->setDay(rig.row(0), day, false));
    EXPECT_TRUE(rig.onDisk()[0].days.empty());

    EXPECT_TRUE(rig.tab->remove(rig.row(0)));
    EXPECT_TRUE(rig.onDisk().empty());
}

// Edits a time field or chip cannot make, and rows whose schedule moved or went.
TEST(SchedulesTab, RefusesWhatNoRowCanMean) {
    const std::vector<Schedule> two = {schedule(idA, true, {2}, 60, 120),
                                       schedule(idB, true, {3}, 60, 120)};
    SchedulesRig rig(two);
    const RowRef first{0, idA};
    const struct {
        const char* what;
        bool taken;
    } refused[] = {
        {"day 0", rig.tab->setDay(first, 0, true)},
        {"start -1", rig.tab->setStart(first, -1)},
        {"start 1440", rig.tab->setStart(first, 1440)},
        {"index past the end", rig.tab->setEnabled({2, idA}, false)},
        {"another schedule now at that place", rig.tab->setEnabled({0, idB}, false)},
        {"removal of a moved row", rig.tab->remove({1, idA})},
    };
    for (const auto& r : refused) EXPECT_FALSE(r.taken) << r.what;
    EXPECT_EQ(rig.onDisk(), two);
}

// A file edited by hand: days outside 1..7, a day twice, times outside a day and an id
// used twice. Each row still changes only itself, and keeps the odd values it was not
// asked to change.
TEST(SchedulesTab, HandEditedFileEditsOneRowOnly) {
    const std::string text = R"({"schedules": [
      {"id": ")" + idA + R"(", "enabled": true, "days": [0, 3, 3, 9], "start": -5, "end": 2000},
      {"id": ")" + idA + R"(", "enabled": true, "days": [2], "start": 540, "end": 720},
      {"id": ")" + idA + R"(", "enabled": false, "days": [], "start": 0, "end": 0}
    ]})";
    SchedulesRig rig(text);
    ASSERT_EQ(rig.store->config().schedules.size(), 3u);
    EXPECT_EQ(rig.store->config().schedules[0].days, (std::set<int>{0, 3, 9}));

    EXPECT_TRUE(rig.tab->setEnabled({1, idA}, false));
    EXPECT_TRUE(rig.tab->setDay({0, idA}, 4, true));
    EXPECT_TRUE(rig.tab->setEnd({0, idA}, 600));
    std::vector<Schedule> expected = {schedule(idA, true, {0, 3, 4, 9}, -5, 600),
                                      schedule(idA, false, {2}, 540, 720),
                                      schedule(idA, false, {}, 0, 0)};
    EXPECT_EQ(rig.onDisk(), expected);

    // Removing the middle row leaves both others, though they share its id.
    EXPECT_TRUE(rig.tab->remove({1, idA}));
    expected.erase(expected.begin() + 1);
    EXPECT_EQ(rig.onDisk(), expected);
}

}  // namespace
}  // namespace tarrow
