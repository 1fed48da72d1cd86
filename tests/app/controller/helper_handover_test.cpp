// What the app hands the helper and reads back from it is exact: the request is written,
// touched or left alone as needed, the hosts read-back never answers from a stale cache,
// the helper is known by its digest, and setting it up says what happened.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <thread>

#include "app/controller/helper_identity.h"
#include "app/controller/helper_setup.h"
#include "app/controller/hosts_readback.h"
#include "app/controller/log.h"
#include "app/controller/request_writer.h"
#include "common/hosts_section.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::test {
namespace {

using namespace app;

std::set<std::string> fresh(const std::string& path) {
    Result<HostsText> text = readText(path);
    return text ? blockedNames(text->text) : std::set<std::string>{};
}

void rewriteInPlace(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "r+");
    ASSERT_TRUE(f);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

timespec wallNow() {
    timespec t{};
    ::clock_gettime(CLOCK_REALTIME, &t);
    return t;
}

// Through every kind of change, with a clock that says every write is long settled, the
// answer equals a fresh read.
TEST(HostsReadBack, AgreesWithAFreshReadThroughEveryKindOfChange) {
    TempFolder s;
    const std::string path = s / "hosts";
    const std::string withA = hostsFile("", {"a.example"}), withB = hostsFile("", {"b.example"});
    const timespec later = {wallNow().tv_sec + 3600, 0};
    HostsReadBack settled(path, [&] { return later; });
    const std::vector<std::function<void()>> steps = {
        [] {},
        [&] { writeFile(path, withA); },
        [] {},
        [&] { writeFile(path + ".new", withB), std::filesystem::rename(path + ".new", path); },
        [&] { rewriteInPlace(path, withA); },  // same size
        [&] { std::filesystem::remove(path), std::filesystem::create_directory(path); },
        [&] { std::filesystem::remove(path), writeFile(path, withB); },
        [&] {
            struct stat before = statOf(path);
            rewriteInPlace(path, withA);
            const timespec times[2] = {before.st_atim, before.st_mtim};
            ::utimensat(AT_FDCWD, path.c_str(), times, 0);
        },
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        // Real writes lie further apart than the file system's time granularity.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        steps[i]();
        EXPECT_EQ(settled.blocked(), fresh(path)) << i;
        EXPECT_EQ(settled.blocked(), fresh(path)) << i << ", asked twice";
    }
}

TEST(HostsReadBack, SkipsTheReadOnlyForASettledUnchangedFile) {
    TempFolder s;
    writeFile(s / "hosts", hostsFile("", {"a.example"}));
    timespec now = wallNow();
    HostsReadBack reader(s / "hosts", [&] { return now; });
    std::string reads;
    auto ask = [&] { reader.blocked(), reads += reader.readLastTime() ? "r" : "-"; };
    ask(), ask();
    now.tv_sec += 10;
    ask(), ask();
    ::chmod((s / "hosts").c_str(), 0600);  // a change of the inode's status counts
    ask();
    EXPECT_EQ(reads, "rrr-r") << "read again while the last write is recent";
}

// Written when it differs, touched (the heartbeat) when the same, left alone when an empty
// request is empty already; a file cut short is mended, one that is not a file is said.
TEST(RequestWriter, WritesTouchesAndLeavesAlone) {
    TempFolder s;
    const std::string path = s / "home/request/blocked-hosts";
    RequestWriter writer(path);
    auto update = [&](const std::string& text) -> std::optional<RequestWriter::Outcome> {
        Result<RequestWriter::Outcome> r = writer.update(text);
        return r ? std::optional(*r) : std::nullopt;
    };
    using enum RequestWriter::Outcome;
    EXPECT_EQ(update("a.example\n"), written) << "folders are made on demand";
    setAge(path, 3600);
    EXPECT_EQ(update("a.example\n"), touched);
    EXPECT_LT(std::time(nullptr) - statOf(path).st_mtime, 60);
    writeFile(path, "");
    EXPECT_EQ(update("a.example\n"), written) << "cut short";
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_EQ(update("a.example\n"), std::nullopt) << "said, not hidden";
    std::filesystem::remove(path);
    EXPECT_EQ(update(""), written);
    EXPECT_EQ(update(""), unchanged);
    RequestWriter nowhere(s / "missing/blocked-hosts");
    EXPECT_TRUE(nowhere.empty().ok()) << "no file, so nothing is blocked";
    EXPECT_FALSE(exists(s / "missing"));
}

TEST(HelperIdentity, TheDigestIsOfARegularFileAndFollowsItsChanges) {
    TempFolder s;
    std::filesystem::create_directory(s / "folder");
    ASSERT_EQ(::mkfifo((s / "fifo").c_str(), 0600), 0);
    for (const char* name : {"missing", "folder", "fifo"}) EXPECT_FALSE(sha256(s / name)) << name;
    EXPECT_EQ(bundledHelperFor(s / "tarrow"), s / "tarrow-helper") << "named where it is missing";
    // Hashed again when the file changed, even at the same size and the old time (cp -p).
    std::optional<HelperHash> cache;
    writeFile(s / "helper", "abc");
    EXPECT_EQ(installedHelperHash(cache, s / "helper"), sha256(s / "helper").value_or(""));
    cache->hash = "remembered";
    EXPECT_EQ(installedHelperHash(cache, s / "helper"), "remembered") << "unchanged";
    const struct stat before = statOf(s / "helper");
    writeFile(s / "helper", "abe");
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ::utimensat(AT_FDCWD, (s / "helper").c_str(), times, 0);
    EXPECT_EQ(installedHelperHash(cache, s / "helper"), sha256(s / "helper").value_or(""));
}

// Without a polkit agent no dialog can ask: the script is left in the state folder, and the
// log and the one dialog name the command that runs it as root. (The root step is a
// stand-in that answers as pkexec does then.)
TEST(HelperSetup, WithoutAnAgentTheRootCommandIsNamed) {
    TempFolder s;
    writeFile(s / "tarrow-helper", "helper");
    std::vector<std::string> logged, told;
    AdminSteps steps;
    steps.run = [](const std::string&, platform::AdminAction) {
        return Status::failure("run as root", "", 0, std::string(platform::noAgentDetail));
    };
    steps.folder = s.path;
    steps.noAgent = [&](const std::string& root) { told.push_back(root); };
    const platform::HelperInstall install{s / "tarrow-helper", std::string(64, 'a'), "/r", 1000};
    const LogFn log = [&](std::string_view l) { logged.emplace_back(l); };
    EXPECT_FALSE(installHelper(install, steps, log));
    const std::string command = "sudo sh '" + s / "helper-set-up.sh" + "'";
    EXPECT_EQ(logged, (std::vector<std::string>{
                          "admin step not done: no polkit authentication agent runs; as root, "
                          "run: " +
                              command,
                          "helper not installed"}));
    EXPECT_EQ(told, std::vector<std::string>{command});
    EXPECT_EQ(readFile(s / "helper-set-up.sh"), platform::installScript(install) + "\n");
    EXPECT_EQ(statOf(s / "helper-set-up.sh").st_mode & 0777, 0600u);
    // Every other end is said: a refusal, no helper beside the app, a request path the
    // service cannot take; and the removal's outcome.
    steps.run = [](const std::string&, platform::AdminAction action) {
        return action == platform::AdminAction::remove ? Status{}
                                                       : Status::failure("run as root", "", EPERM);
    };
    logged.clear();
    EXPECT_FALSE(installHelper(install, steps, log));
    EXPECT_FALSE(installHelper({s / "gone", install.digest, "/r", 1000}, steps, log));
    EXPECT_FALSE(installHelper({install.bundledHelper, install.digest, "r\n", 1000}, steps, log));
    EXPECT_TRUE(removeHelper(steps, log));
    EXPECT_EQ(logged,
              (std::vector<std::string>{
                  "admin step not done: cannot run as root: Operation not permitted",
                  "helper not installed", "the helper is missing beside the app: " + s / "gone",
                  "helper not installed", "state folder path not usable for the helper",
                  "helper removed"}));
}

// The log is cut over at two million bytes, keeping one older generation, and an
// unwritable log fails quietly.
TEST(Log, RotatesOnlyALogOverTheLimit) {
    TempFolder s;
    const std::string path = s / "tarrow.log";
    writeFile(path, std::string(2000000, 'x'));
    appendLogLine(path, "a\n");
    EXPECT_EQ(statOf(path).st_size, 2000002);
    appendLogLine(path, "b\n");
    EXPECT_EQ(readFile(path), "b\n");
    EXPECT_EQ(statOf(path + ".1").st_size, 2000002);
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    appendLogLine(path, "line\n");
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

}  // namespace
}  // namespace tarrow::test
