// One running copy: the lock, who holds it, where it lives.

#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

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
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    std::string keep = saved ? saved : "";
    ::setenv("XDG_RUNTIME_DIR", s.path.c_str(), 1);
    EXPECT_EQ(platform::instanceLockPath("/state"), s.path + "/tarrow.lock");
    ::setenv("XDG_RUNTIME_DIR", (s / "missing").c_str(), 1);
    EXPECT_EQ(platform::instanceLockPath("/state"), "/state/tarrow.lock");
    ::setenv("XDG_RUNTIME_DIR", "", 1);
    EXPECT_EQ(platform::instanceLockPath("/state"), "/state/tarrow.lock");
    if (saved)
        ::setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace tarrow
