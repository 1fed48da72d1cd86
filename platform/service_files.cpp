#include "platform/service_files.h"

#include "platform/paths.h"
#include "platform/quoting.h"
#include "platform/service_sandbox.h"

namespace tarrow::platform {

std::string daemonPlist(const std::string& requestPath, uid_t uid) {
    // The label and path are fixed ASCII names; only the request path needs escaping.
    const std::string label(helperLabel);
    const std::string path = "/Library/PrivilegedHelperTools/" + label;
    std::string s;
    s += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    s += "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n";
    s += "<plist version=\"1.0\"><dict>\n";
    s += "  <key>Label</key><string>" + label + "</string>\n";
    s += "  <key>AssociatedBundleIdentifiers</key><array><string>de.brightloom.tarrow</string>"
         "</array>\n";
    s += "  <key>ProgramArguments</key><array>\n";
    s += "    <string>" + path + "</string>\n";
    s += "    <string>--daemon</string><string>" + xmlEscape(requestPath) + "</string>\n";
    s += "    <string>--uid</string><string>" + std::to_string(uid) + "</string>\n";
    s += "  </array>\n";
    s += "  <key>RunAtLoad</key><true/>\n";
    s += "  <key>KeepAlive</key><true/>\n";
    s += "  <key>StandardErrorPath</key><string>/Library/Logs/Tarrow-helper.log</string>\n";
    s += "</dict></plist>";
    return s;
}

UnitPlaces unitPlaces(const std::string& root) {
    return {root + std::string(helperPath), root + std::string(helperLogPath), root + "/etc",
            root + "/var/lib/flatpak/extension"};
}

namespace {

// A path after "key=" in a unit: only the specifier character is special there.
std::string unitPath(const std::string& path) {
    std::string out;
    for (char c : path) out += c == '%' ? std::string("%%") : std::string(1, c);
    return out;
}

}  // namespace

std::string serviceUnit(const UnitPlaces& places, const std::string& requestPath, uid_t uid) {
    std::string s;
    s += "[Unit]\n";
    s +=
        "Description=" + std::string(appName) + " helper (keeps blocked sites in the hosts file)\n";
    // Kept alive like a launch daemon: restarted after any exit, never given up on.
    s += "StartLimitIntervalSec=0\n";
    s += "\n";
    s += "[Service]\n";
    s += "Type=exec\n";
    s += "ExecStart=" + systemdQuote(places.helperPath) + " --daemon " + systemdQuote(requestPath) +
         " --uid " + std::to_string(uid) + "\n";
    s += "Restart=always\n";
    s += "RestartSec=2\n";
    s += "StandardError=append:" + unitPath(places.logPath) + "\n";
    // The hits file lives here; systemd creates the folder, readable by the user's app.
    s += "StateDirectory=Tarrow\n";
    s += "StateDirectoryMode=0755\n";
    s += "ReadWritePaths=" + unitPath(places.hostsFolder) + "\n";
    // A flatpak Firefox's policies folder (platform/firefox_policy.h); "-": where there
    // is no flatpak extension folder, nothing to open.
    s += "ReadWritePaths=-" + unitPath(places.flatpakExtensions) + "\n";
    s += "UMask=0022\n";
    // Confinement: the helper reads one file of the user's, rewrites the hosts file,
    // listens on loopback ports 80 and 443 and runs the name-cache flush tools.
    s += "NoNewPrivileges=yes\n";
    s += "ProtectSystem=strict\n";
    s += "ProtectHome=read-only\n";
    // Private /tmp and /dev, unless the request file lies there: the helper must see it.
    const ServiceView view = serviceViewFor(requestPath);
    s += std::string("PrivateTmp=") + (view.privateTmp ? "yes" : "no") + "\n";
    s += std::string("PrivateDevices=") + (view.privateDevices ? "yes" : "no") + "\n";
    s += "DevicePolicy=closed\n";
    s += "PrivateMounts=yes\n";
    s += "ProtectKernelTunables=yes\n";
    s += "ProtectKernelModules=yes\n";
    s += "ProtectKernelLogs=yes\n";
    s += "ProtectControlGroups=yes\n";
    s += "ProtectClock=yes\n";
    s += "ProtectHostname=yes\n";
    s += "ProtectProc=invisible\n";
    s += "ProcSubset=pid\n";
    s += "KeyringMode=private\n";
    // Closing the open connections of a site that starts being blocked goes through the
    // kernel's socket diagnostics: a netlink socket, and CAP_NET_ADMIN below.
    s += "RestrictAddressFamilies=AF_INET AF_INET6 AF_UNIX AF_NETLINK\n";
    // Looking the site's names up first needs the system's name server. With
    // systemd-resolved that is the stub on 127.0.0.53 or its socket (AF_UNIX), and a
    // local cache (NetworkManager's dnsmasq on 127.0.1.1) is loopback too. Without either,
    // a stock Debian desktop's resolv.conf names what DHCP or router advertisements
    // gave: the router or a name server on the local network, at a private-use,
    // shared (carrier-grade NAT) or link-local address, or an IPv6 unique local one.
    // Those ranges are the narrowest opening that keeps such a lookup working; the
    // public internet stays closed (a name server out there, set by hand, answers
    // nothing and the names are simply not looked up: blocking itself does not need it).
    s += "IPAddressDeny=any\n";
    s += "IPAddressAllow=localhost link-local 10.0.0.0/8 172.16.0.0/12 192.168.0.0/16 "
         "100.64.0.0/10 fc00::/7\n";
    s += "RestrictNamespaces=yes\n";
    s += "RestrictRealtime=yes\n";
    s += "RestrictSUIDSGID=yes\n";
    s += "LockPersonality=yes\n";
    s += "MemoryDenyWriteExecute=yes\n";
    s += "SystemCallArchitectures=native\n";
    s += "SystemCallFilter=@system-service\n";
    s += "SystemCallFilter=~@privileged @resources\n";
    // The hosts file keeps its owner and the hits file goes to the user: both are fchown
    // calls (@privileged, which holds them, is denied above).
    s += "SystemCallFilter=@chown\n";
    s += "SystemCallErrorNumber=EPERM\n";
    // Ports 80 and 443; reading the request file inside the user's private home; giving
    // the hits file to the user it is for; closing other programs' connections (socket
    // diagnostics' SOCK_DESTROY).
    s += "CapabilityBoundingSet=CAP_NET_BIND_SERVICE CAP_DAC_READ_SEARCH CAP_CHOWN CAP_NET_ADMIN\n";
    s += "\n";
    s += "[Install]\n";
    s += "WantedBy=multi-user.target";
    return s;
}

}  // namespace tarrow::platform
