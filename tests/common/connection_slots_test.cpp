// Which connection gives up its slot when all are taken.

#include "common/connection_slots.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarrow {
namespace {

using namespace std::chrono_literals;
using Clock = ConnectionSlots::Clock;
const Clock::time_point t0 = Clock::time_point(1h);

struct Holder {
    const char* name;
    std::chrono::milliseconds acceptedAt;
    std::optional<std::chrono::milliseconds> lastReceived;  // none: nothing received
    size_t received = 0;
    bool answering = false;
};

TEST(ConnectionSlots, TheIdleLongestGivesWayToANewcomer) {
    struct Case {
        const char* what;
        std::vector<Holder> holders;  // fill the three slots
        std::string dropped;          // "" when the newcomer is refused
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"silent ones: the oldest", {{"a", 0ms, {}}, {"b", 10ms, {}}, {"c", 20ms, {}}}, "a"},
        {"a byte now and then keeps one", {{"a", 0ms, 900ms, 3}, {"b", 10ms, {}}, {"c", 20ms, {}}}, "b"},
        {"equally idle: the one that sent least", {{"a", 0ms, 50ms, 9}, {"b", 0ms, 50ms, 2}, {"c", 0ms, 50ms, 5}}, "b"},
        {"answered ones are kept", {{"a", 0ms, {}, 0, true}, {"b", 10ms, {}, 0, true}, {"c", 20ms, {}}}, "c"},
        {"all answered: the newcomer is refused", {{"a", 0ms, {}, 0, true}, {"b", 1ms, {}, 0, true}, {"c", 2ms, {}, 0, true}}, ""},
    };
    // clang-format on
    for (const auto& c : cases) {
        ConnectionSlots slots(3);
        std::string dropped;
        for (const Holder& h : c.holders) {
            auto key =
                slots.take(t0 + h.acceptedAt, [&dropped, name = h.name] { dropped += name; });
            ASSERT_TRUE(key) << c.what;
            if (h.lastReceived) slots.received(*key, h.received, t0 + *h.lastReceived);
            if (h.answering) slots.answering(*key);
        }
        auto newcomer = slots.take(t0 + 1s, [] {});
        EXPECT_EQ(dropped, c.dropped) << c.what;
        EXPECT_EQ(newcomer.has_value(), !c.dropped.empty()) << c.what;
        EXPECT_EQ(slots.open(), 3u) << c.what;
        EXPECT_EQ(slots.evicted(), c.dropped.empty() ? 0u : 1u) << c.what;
    }
}

TEST(ConnectionSlots, ReleasingCountsEachSlotOnce) {
    ConnectionSlots slots(2);
    std::optional<ConnectionSlots::Key> evicted;
    auto a = slots.take(t0, [&] { slots.release(*evicted); });  // closing releases again
    evicted = a;
    auto b = slots.take(t0 + 1ms, [] {});
    auto c = slots.take(t0 + 2ms, [] {});  // takes a's slot
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(slots.open(), 2u);
    slots.release(*a);  // already given up: nothing changes
    EXPECT_EQ(slots.open(), 2u);
    slots.release(*b);
    slots.release(*c);
    EXPECT_EQ(slots.open(), 0u);
    EXPECT_EQ(slots.peak(), 2u);
    EXPECT_TRUE(slots.take(t0 + 3ms, [] {}));
}

}  // namespace
}  // namespace tarrow
