#include "platform/service_files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/lines.h"
#include "tests/support/text_parts.h"

namespace tarrow::platform {
namespace {

bool hasLine(const std::string& text, const std::string& line) {
    return std::ranges::count(splitLines(text), line) == 1;
}

// The sandbox's own lines are held by systemd-analyze's exposure score (the script test
// service_unit_analyze); these are the ones the helper needs to work.
TEST(ServiceUnit, RealPlacesAndQuotedArguments) {
    const std::string unit =
        serviceUnit(unitPlaces(""), "/home/o'neil/50% $HOME \"x\"\\y/request/blocked-hosts", 1000);
    const std::string mustHave[] = {
        "ExecStart=\"/usr/local/libexec/de.brightloom.tarrow.helper\" --daemon "
        "\"/home/o'neil/50%% $$HOME \\\"x\\\"\\\\y/request/blocked-hosts\" --uid 1000",
        "Restart=always",
        "StandardError=append:/var/log/Tarrow-helper.log",
        "WantedBy=multi-user.target",
        "ReadWritePaths=/etc",
        "ReadWritePaths=-/var/lib/flatpak/extension",
        "StateDirectory=Tarrow",
        "RestrictAddressFamilies=AF_INET AF_INET6 AF_UNIX AF_NETLINK",
        "CapabilityBoundingSet=CAP_NET_BIND_SERVICE CAP_DAC_READ_SEARCH CAP_CHOWN CAP_NET_ADMIN",
        "IPAddressAllow=localhost link-local 10.0.0.0/8 172.16.0.0/12 192.168.0.0/16 "
        "100.64.0.0/10 fc00::/7",
    };
    for (const auto& line : mustHave) EXPECT_TRUE(hasLine(unit, line)) << line;
    EXPECT_EQ(unit.back(), 't');  // no line break after the last line, like the plist
}

TEST(ServiceUnit, RootPrefixesEverySystemPath) {
    const std::string unit = serviceUnit(unitPlaces("/tmp/r%1"), "/r", 7);
    EXPECT_TRUE(hasLine(unit,
                        "ExecStart=\"/tmp/r%%1/usr/local/libexec/de.brightloom.tarrow.helper\" "
                        "--daemon \"/r\" --uid 7"));
}

}  // namespace
}  // namespace tarrow::platform
