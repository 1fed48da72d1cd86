// Start-up pieces: modes, the check suite, the helper's identity, one running copy,
// the signal hook, the state folder.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <tuple>

#include "app/controller/helper_identity.h"
#include "app/controller/modes.h"
#include "app/controller/selftest.h"
#include "app/model/state_folder.h"
#include "platform/single_instance.h"
#include "platform/termination.h"
#include "scratch.h"

namespace tarrow::app {
namespace {

using testing::readFile;
using testing::Scratch;
using testing::writeFile;

// --- Command-line modes ---

TEST(ChooseMode, FirstRowThatAppliesWins) {
    struct Case {
        std::vector<std::string> args;
        Mode mode;
        std::string folder;
    };
    const Case cases[] = {
        {{}, Mode::app, ""},
        {{"--verbose"}, Mode::app, ""},
        {{"--menu", "--version"}, Mode::version, ""},
        {{"--selftest", "--version"}, Mode::version, ""},
        {{"--help", "--version"}, Mode::version, ""},
        {{"--menu", "--help"}, Mode::help, ""},
        {{"-h", "--selftest"}, Mode::help, ""},
        {{"--icons", "--help"}, Mode::help, ""},
        {{"--Help", "-help"}, Mode::app, ""},
        {{"--suggest", "--selftest"}, Mode::selftest, ""},
        {{"--render", "out"}, Mode::render, "out"},
        {{"--icons", "a", "--render", "b"}, Mode::icons, "a"},  // the first image flag decides
        {{"--menu", "--render"}, Mode::menu, ""},               // even as the last argument
        {{"--render"}, Mode::app, ""},
        {{"--icons", "--menu"}, Mode::icons, "--menu"},  // the next argument, whatever it is
        {{"--page-test", "--suggest"}, Mode::suggest, ""},
        {{"--menu", "--page-test"}, Mode::pageTest, ""},
        {{"--menu"}, Mode::menu, ""},
        {{"--attempts", "--menu"}, Mode::menu, ""},
        {{"--attempts"}, Mode::attempts, ""},
        {{"--version=1", "-version", "--Menu"}, Mode::app, ""},  // flags are whole arguments
    };
    for (const Case& c : cases) {
        Invocation invocation = chooseMode(c.args);
        EXPECT_EQ(invocation.mode, c.mode) << ::testing::PrintToString(c.args);
        EXPECT_EQ(invocation.folder, c.folder) << ::testing::PrintToString(c.args);
    }
}

// --- The check suite ---

std::string printed(const std::vector<Check>& checks, int* status) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* out = ::open_memstream(&buffer, &size);
    *status = runSelftest(checks, out);
    std::fclose(out);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

TEST(Selftest, OneFailingCheckIsNamedAndCounted) {
    int status = -1;
    std::string text = printed({{"first", true}, {"second", false}, {"third", true}}, &status);
    EXPECT_EQ(text, "ok    first\nFAIL  second\nok    third\n1 failed\n");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(printed({{"only", true}}, &status), "ok    only\nall passed\n");
    EXPECT_EQ(status, 0);
}

TEST(Selftest, TheControllersCheckGroupsPassWithDistinctLabels) {
    std::set<std::string> labels;
    for (auto group : {hostsChecks, sharedChecks, modelChecks}) {
        for (const Check& check : group()) {
            EXPECT_TRUE(check.ok) << check.label;
            EXPECT_TRUE(labels.insert(check.label).second) << "twice: " << check.label;
        }
    }
    EXPECT_GE(labels.size(), 30u);
}

// --- Helper identity ---

TEST(Sha256, KnownDigestsAndUnreadableFiles) {
    Scratch s;
    writeFile(s.file("empty"), "");
    writeFile(s.file("abc"), "abc");
    writeFile(s.file("big"), std::string(200000, 'a'));  // read in several pieces
    std::filesystem::create_directory(s.file("folder"));
    ASSERT_EQ(::mkfifo(s.file("fifo").c_str(), 0600), 0);
    EXPECT_EQ(sha256(s.file("empty")).value_or(""),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256(s.file("abc")).value_or(""),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // printf 'a%.0s' $(seq 200000) | sha256sum
    EXPECT_EQ(sha256(s.file("big")).value_or(""),
              "2287d207f24a941ff3b56c04c8a25ad56b63e3023207b3bb5b4ac0c9869d74be");
    EXPECT_FALSE(sha256(s.file("missing")));
    EXPECT_FALSE(sha256(s.file("folder")));
    EXPECT_FALSE(sha256(s.file("fifo"))) << "and does not hang";
}

TEST(InstalledHelperHash, HashesAgainOnlyWhenTheFileChanged) {
    Scratch s;
    const std::string path = s.file("helper");
    std::optional<HelperHash> cache;
    EXPECT_EQ(installedHelperHash(cache, path), std::nullopt) << "no file";
    writeFile(path, "abc");
    timeval then[2] = {{1700000000, 0}, {1700000000, 0}};
    ::utimes(path.c_str(), then);
    EXPECT_EQ(installedHelperHash(cache, path), sha256(path).value_or(""));
    cache->hash = "remembered";
    EXPECT_EQ(installedHelperHash(cache, path), "remembered") << "unchanged: not read again";

    writeFile(path, "abd");  // same size, new time
    EXPECT_EQ(installedHelperHash(cache, path), sha256(path).value_or(""));

    cache->hash = "remembered";
    writeFile(path, "abe");
    ::utimes(path.c_str(), then);  // same size and the old time, as cp -p leaves it
    EXPECT_EQ(installedHelperHash(cache, path), sha256(path).value_or(""));
}

TEST(HelperInstalled, NeedsBothFiles) {
    Scratch s;
    writeFile(s.file("helper"), "x");
    writeFile(s.file("service"), "x");
    EXPECT_TRUE(helperInstalled(s.file("helper"), s.file("service")));
    EXPECT_FALSE(helperInstalled(s.file("helper"), s.file("none")));
    EXPECT_FALSE(helperInstalled(s.file("none"), s.file("service")));
}

// The helper is found beside the program in a build tree and under libexec/tarrow when
// installed under a prefix; the one beside wins, and a folder of that name is no helper.
TEST(BundledHelper, BesideTheProgramOrUnderLibexec) {
    struct Case {
        std::vector<std::string> files, folders;
        std::string found;
    };
    const Case cases[] = {
        {{"build/bin/tarrow-helper"}, {}, "build/bin/tarrow-helper"},
        {{"usr/libexec/tarrow/tarrow-helper"}, {}, "usr/libexec/tarrow/tarrow-helper"},
        {{"usr/bin/tarrow-helper", "usr/libexec/tarrow/tarrow-helper"},
         {},
         "usr/bin/tarrow-helper"},
        {{"usr/libexec/tarrow/tarrow-helper"},
         {"usr/bin/tarrow-helper"},
         "usr/libexec/tarrow/tarrow-helper"},
        {{}, {"usr/bin"}, "usr/bin/tarrow-helper"},  // none: named where it was expected
    };
    for (const Case& c : cases) {
        Scratch s;
        for (const auto& file : c.files) writeFile(s.file(file), "helper");
        for (const auto& folder : c.folders) std::filesystem::create_directories(s.file(folder));
        const std::string program =
            s.file(c.found.starts_with("build") ? "build/bin/tarrow" : "usr/bin/tarrow");
        EXPECT_EQ(bundledHelperFor(program), s.file(c.found)) << c.found;
    }
}

// --- One running copy ---

TEST(SingleInstance, TheSecondClaimSeesTheFirstCopysPid) {
    Scratch s;
    const std::string lock = s.file("tarrow.lock");
    Result<platform::Instance> first = platform::claimInstance(lock);
    ASSERT_TRUE(first && std::holds_alternative<platform::InstanceHeld>(*first));
    Result<platform::Instance> second = platform::claimInstance(lock);
    ASSERT_TRUE(second && std::holds_alternative<platform::InstanceRunning>(*second));
    EXPECT_EQ(std::get<platform::InstanceRunning>(*second).pid, ::getpid());
    ::close(std::get<platform::InstanceHeld>(*first).fd);
    Result<platform::Instance> third = platform::claimInstance(lock);
    EXPECT_TRUE(third && std::holds_alternative<platform::InstanceHeld>(*third))
        << "released with its holder";
}

TEST(SingleInstance, ALockThatCannotBeCreatedIsReported) {
    Scratch s;
    writeFile(s.file("file"), "x");
    Result<platform::Instance> instance = platform::claimInstance(s.file("file") + "/tarrow.lock");
    ASSERT_FALSE(instance);
    EXPECT_EQ(instance.status().error(), ENOTDIR);
}

TEST(SingleInstance, LockLivesInTheRuntimeFolderWhenThereIsOne) {
    Scratch s;
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    std::string keep = saved ? saved : "";
    ::setenv("XDG_RUNTIME_DIR", s.path.c_str(), 1);
    EXPECT_EQ(platform::instanceLockPath("/state"), s.path + "/tarrow.lock");
    ::setenv("XDG_RUNTIME_DIR", s.file("missing").c_str(), 1);
    EXPECT_EQ(platform::instanceLockPath("/state"), "/state/tarrow.lock");
    ::setenv("XDG_RUNTIME_DIR", "", 1);
    EXPECT_EQ(platform::instanceLockPath("/state"), "/state/tarrow.lock");
    if (saved)
        ::setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
}

// --- The signal hook, in a child process ---

// What is at the request path when the signal comes: a file, nothing, or a FIFO that must
// not hang the exit (a hang ends by SIGALRM instead of an exit status).
TEST(SignalHook, EmptiesTheRequestAndExitsZero) {
    enum What { file, nothing, fifo };
    const std::tuple<int, What> cases[] = {
        {SIGTERM, file}, {SIGINT, file}, {SIGHUP, file}, {SIGTERM, nothing}, {SIGTERM, fifo}};
    for (const auto& [signal, what] : cases) {
        SCOPED_TRACE(::testing::Message() << "signal " << signal << ", case " << what);
        Scratch s;
        const std::string request = s.file("blocked-hosts");
        if (what == file) writeFile(request, "a.example\n");
        if (what == fifo) {
            ASSERT_EQ(::mkfifo(request.c_str(), 0600), 0);
        }
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (!platform::emptyRequestOnSignals(request)) ::_exit(3);
            ::alarm(5);
            ::raise(signal);
            ::_exit(4);  // not reached when the handler ran
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
        if (what == file) {
            EXPECT_EQ(readFile(request), "");
        }
        if (what == nothing) {
            EXPECT_FALSE(testing::exists(request)) << "nothing is created";
        }
    }
}

// --- The state folder the app uses ---

TEST(StateFolder, AnEmptyTarrowHomeIsNotAFolder) {
    Environment empty{std::string(""), std::nullopt, "/home/user", "/work"};
    EXPECT_EQ(folderFor(empty), "/home/user/.local/share/Tarrow");
    Environment set{std::string("~/x"), std::nullopt, "/home/user", "/work"};
    EXPECT_EQ(folderFor(set), "/home/user/x");
}

}  // namespace
}  // namespace tarrow::app
