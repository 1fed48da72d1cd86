// A request file the service's sandbox would hide makes the unit share that folder.

#include "platform/service_sandbox.h"

#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/service_files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::platform {
namespace {

TEST(ServiceSandbox, FoldersTheServiceWouldNotSee) {
    struct Case {
        std::string path;
        bool privateTmp, privateDevices;
    };
    const std::vector<Case> cases = {
        {"/home/ann/.local/share/Tarrow/request/blocked-hosts", true, true},
        {"/tmp/state/request/blocked-hosts", false, true},
        {"/var/tmp/x/request/blocked-hosts", false, true},
        {"/tmp", false, true},
        {"/tmpfiles/request/blocked-hosts", true, true},
        {"/dev/shm/Tarrow/request/blocked-hosts", true, false},
        {"/srv/tmp/request/blocked-hosts", true, true},
    };
    for (const auto& c : cases) {
        ServiceView view = serviceViewFor(c.path);
        EXPECT_EQ(view.privateTmp, c.privateTmp) << c.path;
        EXPECT_EQ(view.privateDevices, c.privateDevices) << c.path;
    }
}

// A state folder reached through a link that leads into /tmp is in /tmp for the service.
TEST(ServiceSandbox, LinksAreFollowedAsTheServiceWould) {
    test::TempFolder target;  // under /tmp
    const std::string link =
        std::filesystem::current_path() / ("sandbox-link-" + std::to_string(::getpid()));
    std::filesystem::create_directory_symlink(target.path, link);
    const std::string request = link + "/Tarrow/request/blocked-hosts";  // not made yet
    EXPECT_EQ(resolvedLeadingPart(request), target.path + "/Tarrow/request/blocked-hosts");
    EXPECT_FALSE(serviceViewFor(request).privateTmp);
    std::filesystem::remove(link);
}

TEST(ServiceSandbox, TheUnitSharesTmpOnlyWhenTheRequestIsThere) {
    auto line = [](const std::string& request, const std::string& key) {
        const std::string unit = serviceUnit(unitPlaces(""), request, 1000);
        const size_t at = unit.find("\n" + key + "=");
        return at == std::string::npos ? std::string("<none>")
                                       : unit.substr(at + 1, unit.find('\n', at + 1) - at - 1);
    };
    EXPECT_EQ(line("/home/ann/.local/share/Tarrow/request/blocked-hosts", "PrivateTmp"),
              "PrivateTmp=yes");
    EXPECT_EQ(line("/tmp/state/request/blocked-hosts", "PrivateTmp"), "PrivateTmp=no");
    EXPECT_EQ(line("/tmp/state/request/blocked-hosts", "ProtectSystem"), "ProtectSystem=strict");
    EXPECT_EQ(line("/dev/shm/t/request/blocked-hosts", "PrivateDevices"), "PrivateDevices=no");
}

}  // namespace
}  // namespace tarrow::platform
