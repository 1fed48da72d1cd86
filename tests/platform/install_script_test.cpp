#include "platform/install_script.h"

#include <gtest/gtest.h>

#include "platform/service_files.h"
#include "tests/support/text_parts.h"

namespace tarrow::platform {
namespace {

const std::string digest(64, 'a');

HelperInstall sample() {
    return {"/Applications/O'Neil & Co/Tarrow.app/Contents/MacOS/tarrow-helper", digest,
            "/Users/o'neil/Library/Application Support/Tarrow/request/blocked-hosts", 501};
}

// The digest is tested before anything is moved into place, the old daemon stopped
// before the new one is loaded; the removal clears the section before the files go.
TEST(MacScripts, QuotedPathsAndStepOrder) {
    EXPECT_EQ(
        test::missingInOrder(
            macInstallScript(sample()),
            {"cat '/Applications/O'\\''Neil & Co/Tarrow.app/Contents/MacOS/tarrow-helper' > "
             "\"$T\"\n",
             "shasum -a 256 \"$T\" | cut -d' ' -f1)\" != " + digest + " ]; then rm -f \"$T\"",
             "mv -f \"$T\" '/Library/PrivilegedHelperTools/de.brightloom.tarrow.helper'\n",
             "<<'TARROW_PLIST'\n" + daemonPlist(sample().requestPath, 501) + "\nTARROW_PLIST\n",
             "launchctl bootout system/de.brightloom.pinfold.helper",
             "launchctl bootout system/de.brightloom.tarrow.helper", "launchctl print",
             "launchctl bootstrap system \"$P\""}),
        "");
    EXPECT_EQ(test::missingInOrder(macRemovalScript(),
                                   {"launchctl bootout", "tarrow.helper' --clear", "rm -f '"}),
              "");
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
#ifdef __APPLE__
    EXPECT_NE(installPrompt().find("your Mac\u2019s hosts file"), std::string::npos);
#else
    EXPECT_NE(installPrompt().find("its own lines in this computer\u2019s hosts file and "),
              std::string::npos);
    EXPECT_EQ(installPrompt().find("Mac"), std::string::npos);
#endif
}

}  // namespace
}  // namespace tarrow::platform
