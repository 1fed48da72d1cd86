#include "platform/starting_agent.h"

#include <gtest/gtest.h>

namespace tarrow::platform {
namespace {

TEST(StartingAgent, UserServiceFromTheCgroup) {
    const struct {
        const char* cgroup;
        const char* unit;  // null: not started by a user service
    } cases[] = {
        {"0::/user.slice/user-1000.slice/user@1000.service/app.slice/tarrow.service\n",
         "tarrow.service"},
        {"0::/user.slice/user-1000.slice/user@1000.service/tarrow@work.service\n",
         "tarrow@work.service"},
        // cgroup v1 and hybrid layouts name systemd's hierarchy.
        {"12:cpu,cpuacct:/\n1:name=systemd:/user.slice/user-1000.slice/user@1000.service/"
         "de.brightloom.tarrow.service\n0::/user.slice/user-1000.slice/user@1000.service/"
         "de.brightloom.tarrow.service\n",
         "de.brightloom.tarrow.service"},
        {"1:name=systemd:/user.slice/user-1000.slice/user@1000.service/tarrow.service\n",
         "tarrow.service"},
        // Started from a terminal, a session or the desktop's launcher or autostart.
        {"0::/user.slice/user-1000.slice/session-2.scope\n", nullptr},
        {"0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
         "app-gnome-de.brightloom.tarrow-4711.scope\n",
         nullptr},
        {"0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
         "app-de.brightloom.tarrow@autostart.service\n",
         nullptr},
        {"0::/user.slice/user-1000.slice/user@1000.service\n", nullptr},
        // A system service is no user's agent.
        {"0::/system.slice/tarrow.service\n", nullptr},
        {"", nullptr},
        {"garbage without colons", nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> expected =
            c.unit ? std::optional<std::string>(c.unit) : std::nullopt;
        EXPECT_EQ(userServiceIn(c.cgroup), expected) << c.cgroup;
    }
}

}  // namespace
}  // namespace tarrow::platform
