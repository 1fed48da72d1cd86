#include "platform/install_script.h"

#include "common/machine_text.h"
#include "common/utf8.h"
#include "platform/browser_extension.h"
#include "platform/paths.h"
#include "platform/quoting.h"
#include "platform/service_files.h"

namespace tarrow::platform {

namespace {

const std::string label(helperLabel);
const std::string legacyLabel(legacyHelperLabel);
const std::string unitName = label + ".service";

std::string joined(std::initializer_list<std::string> lines) {
    std::string out;
    for (const auto& line : lines) {
        if (!out.empty()) out += '\n';
        out += line;
    }
    return out;
}

bool hasLineBreak(std::string_view path) {
    for (char c : path)
        if (c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\0') return true;
    return path.find("\xC2\x85") != std::string_view::npos ||
           path.find("\xE2\x80\xA8") != std::string_view::npos ||
           path.find("\xE2\x80\xA9") != std::string_view::npos;
}

}  // namespace

bool usableRequestPath(std::string_view path) {
    if (hasLineBreak(path)) return false;
#ifdef __APPLE__
    return true;
#else
    // The service file must be UTF-8, and the daemon starts in "/".
    return !path.empty() && path.front() == '/' && validUtf8(path);
#endif
}

std::string macInstallScript(const HelperInstall& in) {
    const std::string helper = "/Library/PrivilegedHelperTools/" + label;
    const std::string plist = "/Library/LaunchDaemons/" + label + ".plist";
    return joined({
        "set -e",
        "D=/Library/PrivilegedHelperTools",
        "mkdir -p $D && chown root:wheel $D && chmod 755 $D",
        "T=$(mktemp $D/.tarrow-helper.XXXXXX)",
        "cat " + shellQuote(in.bundledHelper) + " > \"$T\"",
        "if [ \"$(/usr/bin/shasum -a 256 \"$T\" | cut -d' ' -f1)\" != " + in.digest +
            " ]; then rm -f \"$T\"; echo '" + std::string(helperMismatchMessage) +
            "' >&2; exit 1; fi",
        "chown root:wheel \"$T\" && chmod 755 \"$T\" && mv -f \"$T\" " + shellQuote(helper),
        "P=" + shellQuote(plist),
        "cat > \"$P.new\" <<'TARROW_PLIST'\n" + daemonPlist(in.requestPath, in.uid) +
            "\nTARROW_PLIST",
        "chown root:wheel \"$P.new\" && chmod 644 \"$P.new\" && mv -f \"$P.new\" \"$P\"",
        "launchctl bootout system/" + legacyLabel + " 2>/dev/null || true",
        "rm -f /Library/LaunchDaemons/" + legacyLabel + ".plist /Library/PrivilegedHelperTools/" +
            legacyLabel,
        "launchctl bootout system/" + label + " 2>/dev/null || true",
        "for i in 1 2 3 4 5 6 7 8 9 10; do launchctl print system/" + label +
            " >/dev/null 2>&1 || break; sleep 0.2; done",
        "launchctl bootstrap system \"$P\"",
    });
}

std::string macRemovalScript() {
    const std::string helper = shellQuote("/Library/PrivilegedHelperTools/" + label);
    const std::string plist = shellQuote("/Library/LaunchDaemons/" + label + ".plist");
    return joined({
        "launchctl bootout system/" + label + " 2>/dev/null || true",
        helper + " --clear 2>/dev/null || true",
        "rm -f " + plist + " " + helper,
    });
}

namespace {

// The extension folder beside the helper that ships with the app.
std::string extensionSource(const std::string& bundledHelper) {
    const size_t slash = bundledHelper.rfind('/');
    return (slash == std::string::npos ? std::string(".") : bundledHelper.substr(0, slash)) + "/" +
           std::string(extensionFolderName);
}

struct LinuxPlaces {
    std::string toolsFolder, helper, unit, legacyHelper, legacyUnit;
};

LinuxPlaces linuxPlaces(const std::string& root) {
    const std::string helper = root + std::string(helperPath);
    const std::string tools = helper.substr(0, helper.rfind('/'));
    const std::string units = root + "/etc/systemd/system/";
    return {tools, helper, units + unitName, tools + "/" + legacyLabel,
            units + legacyLabel + ".service"};
}

}  // namespace

// Every step is its own simple command: under `set -e` a failure inside an `a && b`
// list does not end the script, and a half-done install must not report success.
std::string linuxInstallScript(const HelperInstall& in, const std::string& root) {
    const LinuxPlaces at = linuxPlaces(root);
    return joined({
        "set -e",
        "D=" + shellQuote(at.toolsFolder),
        "mkdir -p \"$D\"; chown root:root \"$D\"; chmod 755 \"$D\"",
        "T=$(mktemp \"$D/.tarrow-helper.XXXXXX\"); trap 'rm -f \"$T\"' EXIT",
        "cat " + shellQuote(in.bundledHelper) + " > \"$T\"",
        "if [ \"$(sha256sum < \"$T\" | cut -d' ' -f1)\" != " + shellQuote(in.digest) +
            " ]; then rm -f \"$T\"; echo '" + std::string(helperMismatchMessage) +
            "' >&2; exit 1; fi",
        "chown root:root \"$T\"; chmod 755 \"$T\"; mv -f \"$T\" " + shellQuote(at.helper),
        // The browser extension that ships beside the helper goes beside it, where the
        // daemon finds it, before the daemon starts.
        "S=" + shellQuote(extensionSource(in.bundledHelper)),
        "E=\"$D/" + std::string(extensionFolderName) + "\"; rm -rf \"$E.new\"",
        "if [ -f \"$S/tarrow.crx\" ] && [ -f \"$S/id\" ]; then mkdir -m 755 \"$E.new\"; "
        "cat \"$S/tarrow.crx\" > \"$E.new/tarrow.crx\"; cat \"$S/id\" > \"$E.new/id\"; "
        "chmod 644 \"$E.new/tarrow.crx\" \"$E.new/id\"; rm -rf \"$E\"; mv \"$E.new\" \"$E\"; fi",
        "P=" + shellQuote(at.unit) + "; trap 'rm -f \"$T\" \"$P.new\"' EXIT",
        "cat > \"$P.new\" <<'TARROW_UNIT'\n" +
            serviceUnit(unitPlaces(root), in.requestPath, in.uid) + "\nTARROW_UNIT",
        "chown root:root \"$P.new\"; chmod 644 \"$P.new\"; mv -f \"$P.new\" \"$P\"",
        "systemctl disable --now " + legacyLabel + ".service 2>/dev/null || true",
        "rm -f " + shellQuote(at.legacyUnit) + " " + shellQuote(at.legacyHelper),
        "systemctl disable --now " + unitName + " 2>/dev/null || true",
        "for i in 1 2 3 4 5 6 7 8 9 10; do case \"$(systemctl is-active " + unitName +
            " 2>/dev/null)\" in active|activating|deactivating|reloading|refreshing) sleep 0.2 "
            ";; *) break ;; esac; done",
        "systemctl daemon-reload",
        "systemctl enable --now " + unitName,
    });
}

// The status says whether the helper is gone: stopped, its section cleared, its files
// removed. Disabling a unit that is not there fails harmlessly, so what counts is that
// nothing runs afterwards; a helper that is not there cannot clear, and is not asked to.
std::string linuxRemovalScript(const std::string& root) {
    const LinuxPlaces at = linuxPlaces(root);
    return joined({
        "set -e",
        "systemctl disable --now " + unitName + " 2>/dev/null || true",
        "case \"$(systemctl is-active " + unitName +
            " 2>/dev/null)\" in active|activating|deactivating|reloading|refreshing) echo '" +
            std::string(helperStillRunningMessage) + "' >&2; exit 1 ;; esac",
        "H=" + shellQuote(at.helper),
        "if [ -e \"$H\" ]; then \"$H\" --clear; fi",
        "rm -f " + shellQuote(at.unit) + " \"$H\"",
        "rm -rf " + shellQuote(at.toolsFolder + "/" + std::string(extensionFolderName)),
        // So systemd forgets the unit at once rather than at the next reload.
        "systemctl daemon-reload 2>/dev/null || true",
    });
}

std::string installScript(const HelperInstall& install) {
#ifdef __APPLE__
    return macInstallScript(install);
#else
    return linuxInstallScript(install);
#endif
}

std::string removalScript() {
#ifdef __APPLE__
    return macRemovalScript();
#else
    return linuxRemovalScript();
#endif
}

std::string installPrompt() {
    const std::string where =
        machineText({"your Mac\u2019s hosts file", "this computer\u2019s hosts file"});
    return std::string(appName) +
           " needs your password once so it can block sites in every browser. It only changes "
           "its own lines in " +
           where + " and won\u2019t ask again.";
}

std::string removalPrompt() {
    return std::string(appName) + " removes its helper and unblocks every site.";
}

}  // namespace tarrow::platform
