#include "platform/install_script.h"

#include <gtest/gtest.h>

#include "platform/service_files.h"
#include "tests/support/text_parts.h"

namespace tarrow::platform {
namespace {

const std::string digest(64, 'a');

HelperInstall sample() {
    return {"/opt/O'Neil & Co/Tarrow/tarrow-helper", digest,
            "/home/o'neil/.local/share/Tarrow/request/blocked-hosts", 1000};
}

// Every system path the script and its unit name lies under the root.
TEST(LinuxScripts, NoSystemPathEscapesTheRoot) {
    const std::string root = "/scratch";
    for (const std::string& script : {linuxInstallScript(sample(), root), linuxRemovalScript(root)})
        for (const std::string system : {"/usr/", "/etc/", "/var/", "/etc\n"})
            for (size_t at = script.find(system); at != std::string::npos;
                 at = script.find(system, at + 1))
                EXPECT_TRUE(at >= root.size() &&
                            script.compare(at - root.size(), root.size(), root) == 0)
                    << script.substr(at > 20 ? at - 20 : 0, 60);
}

TEST(RequestPath, LineBreaksAndNulAreRefused) {
    EXPECT_TRUE(usableRequestPath("/home/o'neil/a&b <c>/tab\there/ü/request/blocked-hosts"));
    for (const std::string breaks :
         {"\n", "\v", "\f", "\r", "\xC2\x85", "\xE2\x80\xA8", "\xE2\x80\xA9"})
        EXPECT_FALSE(usableRequestPath("/home/a" + breaks + "b")) << breaks;
    EXPECT_FALSE(usableRequestPath(std::string("/home/a\0b", 9)));
#ifndef __APPLE__
    for (const char* path : {"relative/path", "", "/home/\xFF"})
        EXPECT_FALSE(usableRequestPath(path)) << path;
#endif
}

// The password prompt names this computer's hosts file except on macOS.
TEST(InstallPrompt, NamesThisMachine) {
    EXPECT_NE(installPrompt().find("this computer\u2019s hosts file"), std::string::npos);
}

}  // namespace
}  // namespace tarrow::platform
