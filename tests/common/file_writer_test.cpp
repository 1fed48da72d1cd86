// The app's file writer never holds quitting up: a write that hangs (a dead network
// folder) holds quitting for the limit only, and is unheard of after. (A burst of saves
// becoming one write of the latest: the settings window's test on a slow disk.)

#include "common/file_writer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace tarrow {
namespace {

using namespace std::chrono_literals;

TEST(FileWriter, AHangingWriteHoldsQuittingForTheLimitOnly) {
    auto open = std::make_shared<std::atomic<bool>>(false);  // shared: the write outlives it
    auto heard = std::make_shared<std::atomic<int>>(0);
    const auto write = [&](const char* bytes) {
        return FileWrite{"config", bytes, {}, [heard](const Status&) { ++*heard; }};
    };
    {
        FileWriter writer(
            {},
            [open](const std::string&, std::string_view bytes, const AtomicWrite&) {
                while (bytes == "hangs" && !*open) std::this_thread::sleep_for(1ms);
                return Status();
            },
            0ms);
        writer.write(write("first"));
        EXPECT_TRUE(writer.finish(10s));
        writer.write(write("hangs"));
        EXPECT_FALSE(writer.finish(50ms));
    }  // nor does the destructor wait for it
    *open = true;
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(*heard, 1);
}

}  // namespace
}  // namespace tarrow
