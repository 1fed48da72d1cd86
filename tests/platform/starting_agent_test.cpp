// Whether a user service started the app, from its cgroup (v2, v1 and hybrid layouts).

#include "platform/starting_agent.h"

#include <gtest/gtest.h>

namespace tarrow::platform {
namespace {

TEST(StartingAgent, UserServiceFromTheCgroup) {
    const std::string user = "/user.slice/user-1000.slice/user@1000.service/";
    const std::pair<std::string, const char*> cases[] = {
        {"0::" + user + "app.slice/tarrow.service\n", "tarrow.service"},
        {"0::" + user + "tarrow@work.service\n", "tarrow@work.service"},
        {"12:cpu,cpuacct:/\n1:name=systemd:" + user + "t.service\n0::" + user + "t.service\n",
         "t.service"},
        {"0::/user.slice/user-1000.slice/session-2.scope\n", nullptr},
        {"0::" + user + "app.slice/app-gnome-de.brightloom.tarrow-4711.scope\n", nullptr},
        {"0::" + user + "app.slice/app-de.brightloom.tarrow@autostart.service\n", nullptr},
        {"0::/system.slice/tarrow.service\n", nullptr},
        {"garbage without colons", nullptr},
    };
    for (const auto& [cgroup, unit] : cases)
        EXPECT_EQ(userServiceIn(cgroup), unit ? std::optional<std::string>(unit) : std::nullopt)
            << cgroup;
}

}  // namespace
}  // namespace tarrow::platform
