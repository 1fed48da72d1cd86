// The controller's file pieces: the log, the request writer and the hosts read-back.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <functional>
#include <thread>

#include "app/controller/hosts_readback.h"
#include "app/controller/log.h"
#include "app/controller/request_writer.h"
#include "common/hosts_section.h"
#include "scratch.h"

namespace tarrow::app {
namespace {

using testing::readFile;
using testing::Scratch;
using testing::writeFile;

// --- Log rotation ---

TEST(Log, RotatesOnlyALogOverTheLimit) {
    const size_t none = SIZE_MAX;  // no tarrow.log yet
    for (size_t size : {none, size_t(10), size_t(2000000), size_t(2000001)}) {
        SCOPED_TRACE(size);
        Scratch s;
        const std::string path = s.file("tarrow.log");
        writeFile(path + ".1", "older generation\n");
        if (size != none) writeFile(path, std::string(size, 'x'));
        appendLogLine(path, "2026-10-23 09:00:00  next\n");
        if (size == 2000001) {
            EXPECT_EQ(readFile(path), "2026-10-23 09:00:00  next\n");
            EXPECT_EQ(readFile(path + ".1")->size(), size) << "the old log, whole";
        } else {
            EXPECT_EQ(readFile(path)->size(), (size == none ? 0 : size) + 26);
            EXPECT_EQ(readFile(path + ".1"), "older generation\n");
        }
    }
}

TEST(Log, AnUnwritableLogFailsQuietly) {
    Scratch s;
    writeFile(s.file("file"), "x");
    appendLogLine(s.file("file") + "/tarrow.log", "line\n");  // parent is a regular file
    std::filesystem::create_directory(s.file("tarrow.log"));
    appendLogLine(s.file("tarrow.log"), "line\n");  // the log is a folder
    EXPECT_TRUE(std::filesystem::is_directory(s.file("tarrow.log")));
}

TEST(Log, StampIsLocalTimeInTheFixedPattern) {
    ::setenv("TZ", "Europe/Berlin", 1);
    ::tzset();
    EXPECT_EQ(logStamp(1792738800), "2026-10-23 09:00:00");  // 07:00 UTC
    ::unsetenv("TZ");
    ::tzset();
}

// --- Request writer ---

// The outcome of a write, or none when it failed.
std::optional<RequestWriter::Outcome> outcome(const Result<RequestWriter::Outcome>& result) {
    return result ? std::optional<RequestWriter::Outcome>(*result) : std::nullopt;
}

TEST(RequestWriter, WritesTouchesAndLeavesAlone) {
    Scratch s;
    const std::string path = s.file("home/request/blocked-hosts");
    RequestWriter writer(path);
    EXPECT_FALSE(writer.last().has_value()) << "no file yet";
    EXPECT_EQ(outcome(writer.update("a.example\n")), RequestWriter::Outcome::written);
    EXPECT_EQ(readFile(path), "a.example\n") << "folders are created on demand";
    timeval old[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimes(path.c_str(), old);
    EXPECT_EQ(outcome(writer.update("a.example\n")), RequestWriter::Outcome::touched);
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_GT(st.st_mtime, 1000000000);
    EXPECT_EQ(outcome(writer.update("")), RequestWriter::Outcome::written);
    EXPECT_EQ(outcome(writer.update("")), RequestWriter::Outcome::unchanged);
}

TEST(RequestWriter, AFileRemovedOrCutShortIsWrittenAgain) {
    Scratch s;
    const std::string path = s.file("blocked-hosts");
    RequestWriter writer(path);
    ASSERT_EQ(outcome(writer.update("a.example\n")), RequestWriter::Outcome::written);
    struct Damage {
        const char* what;
        std::function<void()> damage;
    };
    for (const Damage& d : std::vector<Damage>{{"removed", [&] { std::filesystem::remove(path); }},
                                               {"emptied", [&] { writeFile(path, ""); }},
                                               {"replaced by a folder", [&] {
                                                    std::filesystem::remove(path);
                                                    std::filesystem::create_directory(path);
                                                }}}) {
        SCOPED_TRACE(d.what);
        d.damage();
        Result<RequestWriter::Outcome> result = writer.update("a.example\n");
        if (std::filesystem::is_directory(path)) {
            EXPECT_FALSE(result) << "said, not hidden";
            std::filesystem::remove(path);
            result = writer.update("a.example\n");
        }
        EXPECT_EQ(outcome(result), RequestWriter::Outcome::written);
        EXPECT_EQ(readFile(path), "a.example\n");
    }
}

TEST(RequestWriter, RemembersWhatTheFileHeldAtStart) {
    Scratch s;
    writeFile(s.file("utf8"), "a.example\n");
    writeFile(s.file("latin1"), "caf\xe9.example\n");
    EXPECT_EQ(RequestWriter(s.file("utf8")).last(), "a.example\n");
    EXPECT_FALSE(RequestWriter(s.file("latin1")).last().has_value());
    RequestWriter again(s.file("utf8"));
    EXPECT_EQ(outcome(again.update("a.example\n")), RequestWriter::Outcome::touched);
}

TEST(RequestWriter, AFailureSaysWhyAndIsTriedAgain) {
    Scratch s;
    writeFile(s.file("file"), "x");
    RequestWriter writer(s.file("file") + "/request/blocked-hosts");
    for (int i = 0; i < 2; ++i) {
        Result<RequestWriter::Outcome> result = writer.update("a.example\n");
        ASSERT_FALSE(result);
        EXPECT_EQ(result.status().error(), ENOTDIR) << result.status().text();
    }
    EXPECT_FALSE(writer.last().has_value());
}

TEST(RequestWriter, EmptyingCreatesNothingWhereThereIsNoFolder) {
    Scratch s;
    RequestWriter writer(s.file("missing/blocked-hosts"));
    EXPECT_TRUE(writer.empty().ok()) << "no file, so nothing is blocked";
    EXPECT_FALSE(testing::exists(s.file("missing")));
}

// --- Hosts read-back: the cached answer must always equal a fresh read ---

std::set<std::string> fresh(const std::string& path) {
    Result<HostsText> text = readText(path);
    return text ? blockedNames(text->text) : std::set<std::string>{};
}

struct Clock {
    timespec now{};
    timespec operator()() const { return now; }
};

void replaceByRename(const std::string& path, const std::string& text) {
    writeFile(path + ".new", text);
    std::filesystem::rename(path + ".new", path);
}

void rewriteInPlace(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "r+");
    ASSERT_TRUE(f);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

TEST(HostsReadBack, AgreesWithAFreshReadThroughEveryKindOfChange) {
    Scratch s;
    const std::string path = s.file("hosts");
    const std::string base = "127.0.0.1\tlocalhost\n";
    // Same size on purpose: "a.example" and "b.example" sections are equally long.
    const std::string withA = hostsFile(base, {"a.example"});
    const std::string withB = hostsFile(base, {"b.example"});
    ASSERT_EQ(withA.size(), withB.size());

    auto wallNow = [] {
        timespec t{};
        ::clock_gettime(CLOCK_REALTIME, &t);
        return t;
    };
    timespec later = wallNow();
    later.tv_sec += 3600;  // reads happen long after the writes: every read is trusted
    HostsReadBack settledReader(path, [&] { return later; });
    HostsReadBack liveReader(path);  // the real clock: writes are always recent

    struct Step {
        const char* what;
        std::function<void()> change;
    };
    const std::vector<Step> steps = {
        {"missing file", [] {}},
        {"created", [&] { writeFile(path, withA); }},
        {"unchanged", [] {}},
        {"replaced by rename, same size", [&] { replaceByRename(path, withB); }},
        {"rewritten in place, same size", [&] { rewriteInPlace(path, withA); }},
        {"section removed", [&] { replaceByRename(path, base); }},
        {"made unreadable (a folder)",
         [&] {
             std::filesystem::remove(path);
             std::filesystem::create_directory(path);
         }},
        {"readable again",
         [&] {
             std::filesystem::remove(path);
             writeFile(path, withB);
         }},
        {"rewritten, then its old times put back",
         [&] {
             struct stat before {};
             ::stat(path.c_str(), &before);
             rewriteInPlace(path, withA);
             const timespec times[2] = {before.st_atim, before.st_mtim};
             ::utimensat(AT_FDCWD, path.c_str(), times, 0);
         }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        // The settled reader's clock claims every write is old; keep real writes apart by
        // more than the file system's time granularity so that claim holds.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        step.change();
        EXPECT_EQ(settledReader.blocked(), fresh(path));
        EXPECT_EQ(liveReader.blocked(), fresh(path));
        EXPECT_EQ(settledReader.blocked(), fresh(path)) << "asked twice";
    }
}

TEST(HostsReadBack, SkipsTheReadOnlyForASettledUnchangedFile) {
    Scratch s;
    const std::string path = s.file("hosts");
    writeFile(path, hostsFile("", {"a.example"}));
    timespec t{};
    ::clock_gettime(CLOCK_REALTIME, &t);
    Clock clock{t};
    HostsReadBack reader(path, std::ref(clock));
    reader.blocked();
    EXPECT_TRUE(reader.readLastTime());
    reader.blocked();
    EXPECT_TRUE(reader.readLastTime()) << "written within the last moments: read again";
    clock.now.tv_sec += 10;
    reader.blocked();
    EXPECT_TRUE(reader.readLastTime());
    reader.blocked();
    EXPECT_FALSE(reader.readLastTime()) << "settled and unchanged";
    ::chmod(path.c_str(), 0600);  // a change of the inode's status counts as a change
    reader.blocked();
    EXPECT_TRUE(reader.readLastTime());
}

}  // namespace
}  // namespace tarrow::app
