// One running copy: a second start sees the first one's pid; the lock goes with its
// holder; a look from a command or a killed copy's file never holds a start back.

#include "platform/single_instance.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <thread>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::platform {
namespace {

bool held(const Result<Instance>& instance) {
    return instance && std::holds_alternative<InstanceHeld>(*instance);
}

TEST(SingleInstance, OneCopyAtATime) {
    test::TempFolder s;
    const std::string lock = s / "tarrow.lock";
    test::writeFile(lock, "999999999\n");  // a copy that has ended
    EXPECT_FALSE(instanceRunning(lock));
    const int looker = ::open(lock.c_str(), O_RDONLY);  // a look holds it for an instant
    ASSERT_EQ(::flock(looker, LOCK_SH), 0);
    std::thread lookEnds([looker] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ::close(looker);
    });
    const Result<Instance> first = claimInstance(lock);
    lookEnds.join();
    ASSERT_TRUE(held(first));
    EXPECT_TRUE(instanceRunning(lock));
    const Result<Instance> second = claimInstance(lock);
    ASSERT_TRUE(second && std::holds_alternative<InstanceRunning>(*second));
    EXPECT_EQ(std::get<InstanceRunning>(*second).pid, ::getpid());
    ::close(std::get<InstanceHeld>(*first).fd);
    EXPECT_TRUE(held(claimInstance(lock)));
    EXPECT_EQ(claimInstance(lock + "/x").status().error(), ENOTDIR);
}

}  // namespace
}  // namespace tarrow::platform
