#include "app/model/login_item.h"

#include <gtest/gtest.h>

#include "app/model/general_texts.h"

namespace tarrow {
namespace {

// The login switch's log lines, and the state read back whatever the switch asked for.
TEST(LoginItem, SwitchingLogsAndReadsBack) {
    struct Case {
        bool on;
        Status result;
        bool readBack;
        std::vector<std::string> logged;
    };
    const Case cases[] = {
        {true, {}, true, {"start at login: on"}},
        {false, {}, false, {"start at login: off"}},
        {true,
         Status::failure("write", "/x/autostart/t.desktop", EACCES),
         false,
         {"start at login failed: cannot write /x/autostart/t.desktop: Permission denied"}},
        {false,
         Status::failure("remove", "/x/t.desktop", EROFS),
         true,
         {"start at login failed: cannot remove /x/t.desktop: Read-only file system"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> logged, asked;
        const LoginItem item{[&] { return c.readBack; },
                             [&](bool on) {
                                 asked.push_back(on ? "on" : "off");
                                 return c.result;
                             }};
        EXPECT_EQ(switchLogin(item, c.on, [&](std::string_view m) { logged.emplace_back(m); }),
                  c.readBack);
        EXPECT_EQ(logged, c.logged);
        EXPECT_EQ(asked, std::vector<std::string>{c.on ? "on" : "off"});
    }
}

// Started by a user service: a login item that is on goes, so the app starts once.
TEST(LoginItem, DroppedWhenAServiceStartsTheApp) {
    struct Case {
        bool enabled;
        Status result;
        std::vector<std::string> logged;
        int switchedOff;
    };
    const Case cases[] = {
        {false, {}, {}, 0},
        {true, {}, {"login item removed, the systemd user unit tarrow.service starts Tarrow"}, 1},
        {true,
         Status::failure("remove", "/x/t.desktop", EACCES),
         {"could not remove the login item: cannot remove /x/t.desktop: Permission denied"},
         1},
    };
    for (const Case& c : cases) {
        std::vector<std::string> logged;
        int off = 0;
        const LoginItem item{[&] { return c.enabled; },
                             [&](bool on) {
                                 off += on ? 0 : 1;
                                 return c.result;
                             }};
        dropLoginItemForAgent(item, agentName("tarrow.service", Desktop::other),
                              [&](std::string_view m) { logged.emplace_back(m); });
        EXPECT_EQ(logged, c.logged);
        EXPECT_EQ(off, c.switchedOff);
    }
}

}  // namespace
}  // namespace tarrow
