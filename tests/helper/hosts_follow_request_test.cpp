// The hosts file follows the request: a failed write keeps the note's listener while the
// section points at it, and a request flipped on and off is rewritten at most four times
// a second. (Each change written and logged once: the daemon scripts.)

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
    bool running = false;
    bool start(uint16_t http, uint16_t https) override {
        return running = http == 80 && https == 443;
    }
    void stop() override { running = false; }
    bool hasListeners() const override { return running; }
};

// The section still points at 127.0.0.2 after a failed unblocking: the listener stays
// until a pass can write.
TEST(HostsFollowRequest, AFailedWriteKeepsTheListener) {
    TempFolder folder;
    FakeNotice notice;
    HelperState state;
    Lines lines;
    state.hostsPath = folder / "hosts";
    state.daemon = true;
    state.notice = &notice;
    state.log = [&](std::string_view line) { lines.emplace_back(line); };
    const auto run = [&](const std::string& request, uid_t uid = ::getuid()) {
        writeFile(folder / "r", request);
        lines.clear();
        pass(state, folder / "r", uid);
        return lines;
    };
    EXPECT_EQ(run("a.com\n"), Lines{"blocking 1 host names, answering on 127.0.0.2"});
    const std::string temp = state.hostsPath + ".tarrow-new";
    ASSERT_EQ(::mkdir(temp.c_str(), 0755), 0);
    EXPECT_EQ(run(""), Lines{"failed: cannot write " + temp + ": File exists"});
    EXPECT_NE(readFile(state.hostsPath).value_or("").find("127.0.0.2 a.com\n"), std::string::npos);
    EXPECT_TRUE(notice.running);
    ASSERT_EQ(::rmdir(temp.c_str()), 0);
    EXPECT_EQ(run(""), Lines{"unblocked"});
    EXPECT_FALSE(notice.running);
    // Another user's request is not followed, and said so.
    EXPECT_EQ(run("a.com\n", ::getuid() + 1),
              Lines{"request file not trusted, left /etc/hosts as it is: " + folder / "r"});
    EXPECT_EQ(readFile(state.hostsPath).value_or("").find("a.com"), std::string::npos);
    setAge(folder / "r", 3600);  // an app that has stopped touching its request
    lines.clear();
    pass(state, folder / "r", ::getuid());
    EXPECT_EQ(lines, Lines{"the app has been silent for 300 s, unblocking"});
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
