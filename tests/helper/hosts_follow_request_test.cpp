// The hosts file follows the request: each change is written and logged once, the note's
// listener runs exactly while the section points at it, a failed write changes nothing
// of that, and a request flipped on and off is rewritten at most four times a second.

#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helper/pass.h"
#include "helper/pass_pacing.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using namespace tarrow;
using namespace tarrow::test;
using namespace std::chrono_literals;

namespace {

using Lines = std::vector<std::string>;

struct FakeNotice : NoticeControl {
    bool works = true, running = false;
    int starts = 0, stops = 0;
    bool start(uint16_t http, uint16_t https) override {
        ++starts;
        return running = works && http == 80 && https == 443;
    }
    void stop() override { ++stops, running = false; }
    bool hasListeners() const override { return running; }
};

// Each change logged once; the listener runs while the section points at 127.0.0.2; a
// failed unblocking keeps both until a pass can write.
TEST(HostsFollowRequest, ChangesAreWrittenAndLoggedOnce) {
    TempFolder folder;
    FakeNotice notice;
    HelperState state;
    Lines lines;
    int flushes = 0;
    state.hostsPath = folder / "hosts";
    state.daemon = true;
    state.notice = &notice;
    state.log = [&](std::string_view line) { lines.emplace_back(line); };
    state.flushDNS = [&] { ++flushes; };
    writeFile(state.hostsPath, "127.0.0.1 localhost\n");
    const auto run = [&](const std::optional<std::string>& request = std::nullopt) {
        if (request) writeFile(folder / "r", *request);
        lines.clear();
        pass(state, folder / "r", ::getuid());
        return lines;
    };
    const auto has = [&](const std::string& line) {
        return readFile(state.hostsPath).value_or("").find(line) != std::string::npos;
    };
    EXPECT_EQ(run("a.com\n"), Lines{"blocking 1 host names, answering on 127.0.0.2"});
    EXPECT_TRUE(has("127.0.0.2 a.com\n"));
    notice.works = notice.running = false;
    EXPECT_EQ(run(), Lines{"blocking 1 host names, without the note"});
    EXPECT_TRUE(has("0.0.0.0 a.com\n"));
    notice.works = true;
    EXPECT_EQ(run(), Lines{"blocking 1 host names, answering on 127.0.0.2"});
    EXPECT_EQ(run(), Lines{});  // unchanged: nothing written, logged or flushed
    EXPECT_EQ(run("b.com\n\xFF\n"),
              Lines{"request file not trusted, left /etc/hosts as it is: " + folder / "r"});
    EXPECT_EQ(run(), Lines{});
    EXPECT_TRUE(has("127.0.0.2 a.com\n") && !has("b.com"));
    const std::string temp = state.hostsPath + ".tarrow-new";
    ASSERT_EQ(::mkdir(temp.c_str(), 0755), 0);
    EXPECT_EQ(run(""), Lines{"failed: cannot write " + temp + ": File exists"});
    EXPECT_TRUE(has("127.0.0.2 a.com\n") && notice.running);
    ASSERT_EQ(::rmdir(temp.c_str()), 0);
    EXPECT_EQ(run(), Lines{"unblocked"});
    EXPECT_FALSE(notice.running);
    EXPECT_EQ(std::make_tuple(notice.starts, notice.stops, flushes),
              std::make_tuple(4, 1, 4));  // never started for an empty list
}

// The daemon's use of the pacing replayed on a fake clock: a pass at once or one planned
// pass; a pass rewrites the file when the request differs from what it holds.
TEST(HostsFollowRequest, AFlippingRequestIsRewrittenAtMostFourTimesASecond) {
    const auto t0 = PassPacing::Clock::time_point(1h);
    PassPacing pacing{250ms};
    std::optional<PassPacing::Clock::time_point> planned;
    int version = 0, applied = -1;
    std::vector<std::chrono::milliseconds> rewrites;
    const auto runPass = [&](PassPacing::Clock::time_point now) {
        const bool rewrote = applied != version;
        if (rewrote)
            rewrites.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(now - t0));
        applied = version;
        pacing.ran(now, rewrote);
    };
    const auto wake = [&](std::chrono::milliseconds at, bool changed) {
        if (planned && *planned <= t0 + at) runPass(*std::exchange(planned, std::nullopt));
        version += changed;
        const auto when = pacing.wanted(t0 + at);
        if (when && *when <= t0 + at)
            runPass(t0 + at);
        else if (when)
            planned = when;
    };
    for (int ms = 0; ms < 2000; ms += 10) wake(std::chrono::milliseconds(ms), true);
    wake(3000ms, false);
    EXPECT_EQ(rewrites.front(), 0ms);
    EXPECT_LE(rewrites.size(), 9u);
    for (size_t i = 1; i < rewrites.size(); ++i) EXPECT_GE(rewrites[i] - rewrites[i - 1], 250ms);
    EXPECT_EQ(applied, version);
    // A single change is written at once, also right after a timer pass that wrote nothing.
    wake(3400ms, true);
    wake(3700ms, false);
    wake(3710ms, true);
    EXPECT_EQ(std::vector(rewrites.end() - 2, rewrites.end()), (std::vector{3400ms, 3710ms}));
}

}  // namespace
