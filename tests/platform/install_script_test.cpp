#include "platform/install_script.h"

#include <gtest/gtest.h>

#include "platform/service_files.h"

namespace tarrow::platform {
namespace {

const std::string digest(64, 'a');

HelperInstall sample() {
    return {"/Applications/O'Neil & Co/Tarrow.app/Contents/MacOS/tarrow-helper", digest,
            "/Users/o'neil/Library/Application Support/Tarrow/request/blocked-hosts", 501};
}

TEST(MacScripts, InstallLineForLine) {
    const std::string expected =
        "set -e\n"
        "D=/Library/PrivilegedHelperTools\n"
        "mkdir -p $D && chown root:wheel $D && chmod 755 $D\n"
        "T=$(mktemp $D/.tarrow-helper.XXXXXX)\n"
        "cat '/Applications/O'\\''Neil & Co/Tarrow.app/Contents/MacOS/tarrow-helper' > \"$T\"\n"
        "if [ \"$(/usr/bin/shasum -a 256 \"$T\" | cut -d' ' -f1)\" != " +
        digest +
        " ]; then rm -f \"$T\"; echo 'The helper in the app does not match this version of "
        "Tarrow.' >&2; exit 1; fi\n"
        "chown root:wheel \"$T\" && chmod 755 \"$T\" && mv -f \"$T\" "
        "'/Library/PrivilegedHelperTools/de.brightloom.tarrow.helper'\n"
        "P='/Library/LaunchDaemons/de.brightloom.tarrow.helper.plist'\n"
        "cat > \"$P.new\" <<'TARROW_PLIST'\n" +
        daemonPlist(sample().requestPath, 501) +
        "\nTARROW_PLIST\n"
        "chown root:wheel \"$P.new\" && chmod 644 \"$P.new\" && mv -f \"$P.new\" \"$P\"\n"
        "launchctl bootout system/de.brightloom.pinfold.helper 2>/dev/null || true\n"
        "rm -f /Library/LaunchDaemons/de.brightloom.pinfold.helper.plist "
        "/Library/PrivilegedHelperTools/de.brightloom.pinfold.helper\n"
        "launchctl bootout system/de.brightloom.tarrow.helper 2>/dev/null || true\n"
        "for i in 1 2 3 4 5 6 7 8 9 10; do launchctl print system/de.brightloom.tarrow.helper "
        ">/dev/null 2>&1 || break; sleep 0.2; done\n"
        "launchctl bootstrap system \"$P\"";
    EXPECT_EQ(macInstallScript(sample()), expected);
}

TEST(MacScripts, RemovalLineForLine) {
    EXPECT_EQ(macRemovalScript(),
              "launchctl bootout system/de.brightloom.tarrow.helper 2>/dev/null || true\n"
              "'/Library/PrivilegedHelperTools/de.brightloom.tarrow.helper' --clear 2>/dev/null "
              "|| true\n"
              "rm -f '/Library/LaunchDaemons/de.brightloom.tarrow.helper.plist' "
              "'/Library/PrivilegedHelperTools/de.brightloom.tarrow.helper'");
}

TEST(LinuxScripts, QuotesEveryValueAndPrefixesTheRoot) {
    HelperInstall in = sample();
    in.bundledHelper = "/opt/o'neil/bin/tarrow-helper";
    const std::string script = linuxInstallScript(in, "/tmp/root 'x'");
    const std::string mustHave[] = {
        "D='/tmp/root '\\''x'\\''/usr/local/libexec'\n",
        "cat '/opt/o'\\''neil/bin/tarrow-helper' > \"$T\"\n",
        "!= '" + digest + "' ]",
        "mv -f \"$T\" '/tmp/root '\\''x'\\''/usr/local/libexec/de.brightloom.tarrow.helper'\n",
        "P='/tmp/root '\\''x'\\''/etc/systemd/system/de.brightloom.tarrow.helper.service'",
        "systemctl disable --now de.brightloom.pinfold.helper.service 2>/dev/null || true\n",
        "\nsystemctl daemon-reload\nsystemctl enable --now de.brightloom.tarrow.helper.service",
    };
    for (const auto& part : mustHave) EXPECT_NE(script.find(part), std::string::npos) << part;
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

// The steps keep their order: the digest is tested before anything is moved, the old
// daemon is stopped before the new one is loaded.
TEST(LinuxScripts, StepOrder) {
    const std::string script = linuxInstallScript(sample());
    const char* steps[] = {"mkdir -p",
                           "mktemp",
                           "cat '",
                           "sha256sum",
                           "mv -f \"$T\"",
                           "<<'TARROW_UNIT'",
                           "mv -f \"$P.new\"",
                           "pinfold.helper.service",
                           "rm -f '",
                           "disable --now de.brightloom.tarrow",
                           "is-active",
                           "daemon-reload",
                           "enable --now"};
    size_t at = 0;
    for (const char* step : steps) {
        size_t found = script.find(step, at);
        ASSERT_NE(found, std::string::npos) << step;
        at = found;
    }
}

TEST(RequestPath, LineBreaksAndNulAreRefused) {
    struct Case {
        std::string path;
        bool usable;
    };
    const Case cases[] = {
        {"/home/o'neil/.local/share/Tarrow/request/blocked-hosts", true},
        {"/home/a&b <c>/x", true},
        {"/home/tab\there", true},
        {"/home/ü/x", true},
        {"/home/a\nb", false},
        {"/home/a\vb", false},
        {"/home/a\fb", false},
        {"/home/a\rb", false},
        {std::string("/home/a\0b", 9), false},
        {"/home/a\xC2\x85"
         "b",
         false},
        {"/home/a\xE2\x80\xA8"
         "b",
         false},
        {"/home/a\xE2\x80\xA9"
         "b",
         false},
#ifndef __APPLE__
        {"relative/path", false},
        {"", false},
        {"/home/\xFF", false},
#endif
    };
    for (const auto& c : cases) EXPECT_EQ(usableRequestPath(c.path), c.usable) << c.path;
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
