// Checks of the hosts section and the host-name rules shared with the helper.

#include <string>

#include "app/controller/selftest.h"
#include "common/hosts_section.h"

namespace tarrow::app {

namespace {

const std::string stock =
    "##\n# Host Database\n##\n127.0.0.1\tlocalhost\n255.255.255.255\tbroadcasthost\n"
    "::1             localhost\n";

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

bool contains(const std::string& s, const std::string& part) {
    return s.find(part) != std::string::npos;
}

}  // namespace

std::vector<Check> hostsChecks() {
    const std::vector<std::string> pair = {"example.com", "www.example.com"};
    const std::string blocked = hostsFile(stock, pair);
    const std::string begin(blockBegin), end(blockEnd);
    const std::string lostEnd =
        stock + "\n" + begin + "\n0.0.0.0 example.com\n:: example.com\n" + "192.168.1.2 printer\n";
    const std::string unLost = hostsFile(lostEnd, {});
    const std::string foreignInside = stock + "\n" + begin +
                                      "\n0.0.0.0 a.example\n:: a.example\n10.0.0.9 printer\n"
                                      "0.0.0.0 b.example\n:: b.example\n" +
                                      end + "\n";
    const std::string notice = hostsFile(stock, {"example.com"}, noticeAddress);
    const std::string plainAgain = hostsFile(notice, {"example.com"});

    return {
        {"hosts: blocking keeps the foreign text in front", startsWith(blocked, stock)},
        {"hosts: blocked names are read back",
         blockedNames(blocked) == std::set<std::string>(pair.begin(), pair.end())},
        {"hosts: each name has its IPv4 line, then its IPv6 line",
         contains(blocked, "\n0.0.0.0 example.com\n:: example.com\n")},
        {"hosts: blocking the same names again changes nothing",
         hostsFile(blocked, pair) == blocked},
        {"hosts: unblocking restores the file byte for byte", hostsFile(blocked, {}) == stock},
        {"hosts: a file without a section stays as it is",
         hostsFile("127.0.0.1 localhost\n\n\n", {}) == "127.0.0.1 localhost\n\n\n"},
        {"hosts: a foreign line after the section survives",
         hostsFile(blocked + "10.0.0.1 nas.local\n", {}) == stock + "\n10.0.0.1 nas.local\n"},
        {"hosts: a lost end marker is repaired",
         startsWith(unLost, stock) && contains(unLost, "192.168.1.2 printer") &&
             !contains(unLost, "example.com") && !contains(unLost, "Tarrow")},
        {"hosts: a foreign line inside the section survives",
         hostsFile(foreignInside, {}) == stock + "\n10.0.0.9 printer\n"},
        {"hosts: the notice address is read back as blocked",
         contains(notice, "\n127.0.0.2 example.com\n:: example.com\n") &&
             blockedNames(notice) == std::set<std::string>{"example.com"}},
        {"hosts: switching back to 0.0.0.0 leaves no notice line",
         !contains(plainAgain, "127.0.0.2") && hostsFile(plainAgain, {}) == stock},
        {"hosts: an empty file gets an empty line, then the section",
         startsWith(hostsFile("", {"example.com"}), "\n" + begin) &&
             hostsFile(hostsFile("", {"example.com"}), {}) == "\n"},
        {"names: three labels and punycode pass",
         validHost("www.example.co.uk") && validHost("xn--bcher-kva.example")},
        {"names: addresses, single labels, capitals and hyphen starts fail",
         !validHost("1.2.3.4") && !validHost("localhost") && !validHost("-a.example") &&
             !validHost("Example.com") && !validHost("a.example\n0.0.0.0 b.example")},
        {"names: 253 characters pass, 254 fail",
         validHost(std::string(63, 'a') + "." + std::string(63, 'b') + "." + std::string(63, 'c') +
                   "." + std::string(61, 'd')) &&
             !validHost(std::string(63, 'a') + "." + std::string(63, 'b') + "." +
                        std::string(63, 'c') + "." + std::string(62, 'd'))},
        {"names: private and vendor names are protected, look-alikes are not",
         isProtected("printer.local") && isProtected("localhost") &&
             isProtected(std::string(protectedSuffixes[0])) &&
             isProtected("www." + std::string(protectedSuffixes[0])) &&
             !isProtected("example.com") && !isProtected("pineapple.example") &&
             !isProtected("notlocal")},
    };
}

}  // namespace tarrow::app
