// One running copy: the lock, who holds it, where it lives.

#include "platform/single_instance.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <thread>

#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using tarrow::test::TempFolder;
using tarrow::test::writeFile;

namespace tarrow {
namespace {

TEST(SingleInstance, TheSecondClaimSeesTheFirstCopysPid) {
    TempFolder s;
    const std::string lock = s / "tarrow.lock";
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

// A look from a command never holds a start back, nor does a lock file left by a copy
// that was killed.
TEST(SingleInstance, LookingFindsOnlyALiveHolder) {
    TempFolder s;
    const std::string lock = s / "tarrow.lock";
    EXPECT_FALSE(platform::instanceRunning(lock)) << "no file";
    writeFile(lock, "999999999\n");  // a copy that has ended
    EXPECT_FALSE(platform::instanceRunning(lock));
    // A start while a look holds the lock for an instant: it starts, not defers to the dead.
    int looker = ::open(lock.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(looker, LOCK_SH), 0);
    std::thread lookEnds([looker] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ::close(looker);
    });
    Result<platform::Instance> held = platform::claimInstance(lock);
    lookEnds.join();
    ASSERT_TRUE(held && std::holds_alternative<platform::InstanceHeld>(*held));
    EXPECT_TRUE(platform::instanceRunning(lock));
    ::close(std::get<platform::InstanceHeld>(*held).fd);
}

TEST(SingleInstance, ALockThatCannotBeCreatedIsReported) {
    TempFolder s;
    writeFile(s / "file", "x");
    Result<platform::Instance> instance = platform::claimInstance(s / "file" + "/tarrow.lock");
    ASSERT_FALSE(instance);
    EXPECT_EQ(instance.status().error(), ENOTDIR);
}

TEST(SingleInstance, LockLivesInTheRuntimeFolderWhenThereIsOne) {
    TempFolder s;
    test::ScopedEnvironment env;
    for (const std::string& runtime : {s.path, s / "missing", std::string()}) {
        env.set("XDG_RUNTIME_DIR", runtime);
        EXPECT_EQ(platform::instanceLockPath("/state"),
                  (runtime == s.path ? s.path : "/state") + "/tarrow.lock")
            << runtime;
    }
}

}  // namespace
}  // namespace tarrow
