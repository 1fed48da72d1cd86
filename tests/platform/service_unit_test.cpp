// The helper's service unit: the real places under a root, the request path quoted
// whatever it holds, and /tmp or /dev shared only when the request lies there.

#include "platform/service_files.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/install_script.h"
#include "platform/quoting.h"

namespace tarrow::platform {
namespace {

// The value of a key of the unit, or "<none>".
std::string value(const std::string& unit, const std::string& key) {
    const size_t at = unit.find("\n" + key + "="), from = at + key.size() + 2;
    return at == std::string::npos ? "<none>" : unit.substr(from, unit.find('\n', from) - from);
}

TEST(ServiceUnit, PlacesQuotingAndTheSandbox) {
    const std::string unit =
        serviceUnit(unitPlaces("/tmp/r%1"), "/home/o'neil/50% $HOME \"x\"\\y/r", 1000);
    EXPECT_EQ(value(unit, "ExecStart"),
              "\"/tmp/r%%1/usr/local/libexec/de.brightloom.tarrow.helper\" --daemon "
              "\"/home/o'neil/50%% $$HOME \\\"x\\\"\\\\y/r\" --uid 1000");
    const std::tuple<std::string, std::string> rows[] = {
        {"/home/ann/.local/share/Tarrow/request/blocked-hosts", "yes yes"},
        {"/tmp/state/request/blocked-hosts", "no yes"},
        {"/var/tmp/x/request/blocked-hosts", "no yes"},
        {"/tmpfiles/request/blocked-hosts", "yes yes"},
        {"/dev/shm/Tarrow/request/blocked-hosts", "yes no"},
    };
    for (const auto& [request, tmpAndDevices] : rows) {
        const std::string u = serviceUnit(unitPlaces(""), request, 1000);
        EXPECT_EQ(value(u, "PrivateTmp") + " " + value(u, "PrivateDevices"), tmpAndDevices)
            << request;
    }
}

// A request path goes into the unit and the scripts: line breaks and NUL are refused.
TEST(ServiceUnit, RequestPathsThatCannotBeWritten) {
    EXPECT_TRUE(usableRequestPath("/home/o'neil/a&b <c>/tab\there/ü/request/blocked-hosts"));
    for (const std::string bad : {"\n", "\r", "\xC2\x85", "\xE2\x80\xA8", "\xFF"})
        EXPECT_FALSE(usableRequestPath("/home/a" + bad + "b")) << bad;
    for (const std::string& bad : {std::string("/home/a\0b", 9), std::string("relative/path")})
        EXPECT_FALSE(usableRequestPath(bad)) << bad;
}

// The launchd variant: hostile paths leave every script parseable by the shell, the
// request path reaches the plist escaped; this build's own scripts and prompt are Linux's.
TEST(ServiceUnit, LaunchdScriptsAndThisPlatformsWords) {
    const HelperInstall in{"/Applications/O'Neil & Co/$(x)/tarrow-helper", std::string(64, 'a'),
                           "/Users/o'neil/R&D <x>/blocked-hosts", 501};
    EXPECT_NE(macInstallScript(in).find("<string>--daemon</string><string>/Users/o'neil/R&amp;D "
                                        "&lt;x&gt;/blocked-hosts</string>"),
              std::string::npos);
    for (const std::string& script : {macInstallScript(in), macRemovalScript(), removalScript()})
        EXPECT_EQ(std::system(("bash -n -c " + shellQuote(script)).c_str()), 0) << script;
    EXPECT_EQ(removalScript().find("launchctl"), std::string::npos);
    EXPECT_NE(installPrompt().find("this computer\u2019s hosts file"), std::string::npos);
}

}  // namespace
}  // namespace tarrow::platform
