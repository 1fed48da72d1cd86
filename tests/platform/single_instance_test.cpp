// One running copy: the lock, who holds it, where it lives.

#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <unistd.h>

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
