// How often a request flipped by its owner makes the hosts file be rewritten, on a fake
// clock: the daemon's use of the pacing (a pass at once, or one planned pass) replayed.

#include "helper/pass_pacing.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarrow {
namespace {

using namespace std::chrono_literals;
using Clock = PassPacing::Clock;
using std::chrono::milliseconds;

const Clock::time_point t0 = Clock::time_point(1h);
constexpr auto gap = 250ms;

struct Replay {
    PassPacing pacing{gap};
    std::optional<Clock::time_point> planned;
    int version = 0;                     // of the request
    int applied = -1;                    // the version the hosts file holds
    std::vector<milliseconds> rewrites;  // when, after t0

    // A pass applies the request; it rewrites the file when the request differs.
    void runPass(Clock::time_point now) {
        const bool rewrote = applied != version;
        if (rewrote) rewrites.push_back(std::chrono::duration_cast<milliseconds>(now - t0));
        applied = version;
        pacing.ran(now, rewrote);
    }
    void until(Clock::time_point now) {
        if (planned && *planned <= now) {
            const auto at = *planned;
            planned.reset();
            runPass(at);
        }
    }
    // The request changes (or only the timer ticks) at `now`.
    void wake(Clock::time_point now, bool changed = true) {
        until(now);
        if (changed) ++version;
        if (auto when = pacing.wanted(now)) {
            if (*when <= now)
                runPass(now);
            else
                planned = when;
        }
    }
};

TEST(PassPacing, AFlippingRequestIsRewrittenAtMostFourTimesASecond) {
    Replay r;
    for (int ms = 0; ms < 2000; ms += 10) r.wake(t0 + milliseconds(ms));
    r.until(t0 + 3s);
    EXPECT_EQ(r.rewrites.front(), 0ms);  // the first change at once
    EXPECT_LE(r.rewrites.size(), 9u);    // 2 s at one rewrite per 250 ms, plus the last
    for (size_t i = 1; i < r.rewrites.size(); ++i)
        EXPECT_GE(r.rewrites[i] - r.rewrites[i - 1], gap);
    EXPECT_EQ(r.applied, r.version);  // ends on the latest request
    EXPECT_LE(r.rewrites.back(), 2250ms);
}

TEST(PassPacing, SingleChangesAndPassesThatWriteNothingAreNotDelayed) {
    Replay r;
    for (int i = 0; i < 5; ++i) r.wake(t0 + milliseconds(400 * i));  // apart by more than a gap
    EXPECT_EQ(r.rewrites, (std::vector<milliseconds>{0ms, 400ms, 800ms, 1200ms, 1600ms}));

    // Timer passes that find nothing new do not start a gap: a change right after one
    // is applied at once.
    r.wake(t0 + 1700ms, false);
    r.wake(t0 + 1950ms, false);
    r.wake(t0 + 1960ms);
    EXPECT_EQ(r.rewrites.back(), 1960ms);

    // A change within the gap waits for its end, and the timer's pass meanwhile is
    // folded into the planned one.
    r.wake(t0 + 2000ms);
    r.wake(t0 + 2100ms, false);
    r.until(t0 + 3s);
    EXPECT_EQ(r.rewrites.back(), 2210ms);
    EXPECT_EQ(r.applied, r.version);
}

}  // namespace
}  // namespace tarrow
