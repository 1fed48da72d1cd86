// Leaving a command for the running copy: the ways it cannot be given or is not taken.
// (Taken and answered is checked against the real app, in tests/e2e.)

#include "app/controller/command_sender.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "app/model/state_folder.h"
#include "platform/single_instance.h"
#include "tests/support/temp_folder.h"

namespace tarrow::app {
namespace {

using test::TempFolder;

TEST(SendCommand, ReportsWhatKeptTheCommandFromTheRunningCopy) {
    struct Case {
        std::string what;
        bool running;
        std::function<void(const std::string& folder)> prepare;
        Sent sent;
        bool commandLeft;
    };
    const auto nothing = [](const std::string&) {};
    const Case cases[] = {
        {"no copy runs", false, nothing, Sent::notRunning, false},
        // A folder where the temporary file goes fails even for root.
        {"cannot be written", true,
         [](const std::string& folder) {
             std::filesystem::create_directory(fileIn(folder, "command.tmp"));
         },
         Sent::failed, false},
        {"not taken in time: removed, not run later", true, nothing, Sent::noAnswer, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder s;
        const std::string lock = s / "tarrow.lock";
        std::optional<Result<platform::Instance>> held;
        if (c.running) held.emplace(platform::claimInstance(lock));
        c.prepare(s.path);
        const SendResult result = sendCommand({s.path, lock, std::chrono::milliseconds(50)}, "on");
        EXPECT_EQ(result.sent, c.sent) << result.text;
        EXPECT_EQ(std::filesystem::exists(fileIn(s.path, "command")), c.commandLeft);
        if (held && *held) ::close(std::get<platform::InstanceHeld>(**held).fd);
    }
}

}  // namespace
}  // namespace tarrow::app
