#include "helper/pass.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using namespace tarrow;
using namespace tarrow::test;

namespace {

struct FakeNotice : NoticeControl {
    bool works = true;
    int starts = 0, stops = 0;
    bool running = false;
    bool start(uint16_t http, uint16_t https) override {
        ++starts;
        running = works && http == 80 && https == 443;
        return running;
    }
    void stop() override {
        ++stops;
        running = false;
    }
    bool hasListeners() const override { return running; }
};

struct Helper {
    TempFolder folder;
    FakeNotice notice;
    HelperState state;
    std::vector<std::string> lines;
    int flushes = 0;
    explicit Helper(bool daemon) {
        state.hostsPath = folder / "hosts";
        state.daemon = daemon;
        state.notice = daemon ? &notice : nullptr;
        state.log = [this](std::string_view line) { lines.emplace_back(line); };
        state.flushDNS = [this] { ++flushes; };
        writeFile(state.hostsPath, "127.0.0.1 localhost\n");
    }
    // One pass; the request file is written first when given.
    std::vector<std::string> run(const std::optional<std::string>& request = std::nullopt) {
        if (request) writeFile(folder / "r", *request);
        lines.clear();
        pass(state, folder / "r", ::getuid());
        return lines;
    }
};

using Lines = std::vector<std::string>;

TEST(Pass, DaemonAnswersWhileTheListenerRuns) {
    Helper h(true);
    EXPECT_EQ(h.run("a.com\n"), Lines{"blocking 1 host names, answering on 127.0.0.2"});
    EXPECT_NE(readFile(h.state.hostsPath).value_or("").find("127.0.0.2 a.com\n:: a.com\n"),
              std::string::npos);
    h.notice.works = false;
    h.notice.running = false;
    EXPECT_EQ(h.run("a.com\n"), Lines{"blocking 1 host names, without the note"});
    EXPECT_NE(readFile(h.state.hostsPath).value_or("").find("0.0.0.0 a.com\n:: a.com\n"),
              std::string::npos);
    h.notice.works = true;
    EXPECT_EQ(h.run("a.com\n"), Lines{"blocking 1 host names, answering on 127.0.0.2"});
    EXPECT_EQ(h.run("a.com\n"), Lines{});  // unchanged: nothing written, logged or flushed
    EXPECT_EQ(h.run(""), Lines{"unblocked"});
    EXPECT_EQ(h.notice.stops, 1);
    EXPECT_EQ(h.notice.starts, 4);  // never started for an empty list
    EXPECT_EQ(h.flushes, 4);
}

TEST(Pass, StatesAreLoggedOncePerChange) {
    Helper h(false);
    const std::string untrustedLine =
        "request file not trusted, left /etc/hosts as it is: " + h.folder / "r";
    h.run("a.com\n");
    const std::string blocked = readFile(h.state.hostsPath).value_or("");
    EXPECT_EQ(h.run("b.com\n\xFF\n"), Lines{untrustedLine});
    EXPECT_EQ(h.run(), Lines{});
    EXPECT_EQ(readFile(h.state.hostsPath), blocked);  // untouched while untrusted

    writeFile(h.folder / "r", "a.com\n");
    setAge(h.folder / "r", 400);
    EXPECT_EQ(h.run(), (Lines{"the app has been silent for 300 s, unblocking", "unblocked"}));
    EXPECT_EQ(h.run(), Lines{});
    EXPECT_EQ(h.state.lastRequest, Request::silent());
}

TEST(Pass, FailureIsLoggedAndRemembered) {
    Helper h(false);
    std::remove(h.state.hostsPath.c_str());
    ::mkdir(h.state.hostsPath.c_str(), 0755);
    EXPECT_EQ(h.run("a.com\n"),
              Lines{"failed: cannot replace " + h.state.hostsPath + ": not a regular file"});
    EXPECT_EQ(h.state.lastRequest, (Request{Request::Kind::names, {"a.com"}}));
    EXPECT_EQ(h.flushes, 0);
}

}  // namespace

// An emptied request whose unblocking cannot be written leaves everything as it was:
// the section still points the names at 127.0.0.2, so the listener must keep answering
// there. The next pass that can write unblocks and stops it.
TEST(Pass, FailedUnblockingKeepsTheListener) {
    Helper h(true);
    h.run("a.com\n");
    const std::string blocked = readFile(h.state.hostsPath).value_or("");
    const std::string temp = h.state.hostsPath + ".tarrow-new";
    ASSERT_EQ(::mkdir(temp.c_str(), 0755), 0);  // the temporary file cannot be made

    EXPECT_EQ(h.run(""), Lines{"failed: cannot write " + temp + ": File exists"});
    EXPECT_EQ(readFile(h.state.hostsPath), blocked);
    EXPECT_TRUE(h.notice.running);
    EXPECT_EQ(h.notice.stops, 0);
    EXPECT_EQ(h.state.lastRequest, (Request{Request::Kind::names, {}}));

    ASSERT_EQ(::rmdir(temp.c_str()), 0);
    EXPECT_EQ(h.run(), Lines{"unblocked"});
    EXPECT_FALSE(h.notice.running);
    EXPECT_EQ(h.notice.stops, 1);
}
