#pragma once
// Firefox's enterprise policy that turns its DNS-over-HTTPS off while something is
// blocked. Measured with Firefox ESR on Debian 12 (DNS-over-HTTPS on, "increased
// protection"): a running Firefox reads the hosts file at start only and goes on
// resolving a name through DNS-over-HTTPS after it was added to the hosts file; a Firefox
// started while this policy is in place resolves through the system, hosts file first.
// Firefox reads policies at start, so the policy holds for every Firefox started while
// blocking; one that was already running keeps its setting until it is restarted.
//
// Firefox reads /etc/firefox/policies/policies.json (Debian's Firefox ESR too), or, when
// that file is absent, the policies.json of its installation's distribution folder. The
// file may hold the administrator's own policies: the key is merged into it, and the
// file's exact bytes are kept aside first and put back when nothing is blocked any more.

#include <string>
#include <string_view>
#include <vector>

#include "platform/browser_policies.h"

namespace tarrow::platform {

struct FirefoxPlaces {
    std::string_view folder;                      // where the system-wide policies.json is
    std::vector<std::string_view> distributions;  // installations' policy folders (read only)
    std::vector<std::string_view> installedAt;    // present when Firefox is installed
};
const FirefoxPlaces& firefoxPlaces();

inline constexpr std::string_view firefoxPolicyFile = "policies.json";
inline constexpr std::string_view firefoxPolicyKey = "DNSOverHTTPS";

// With `on`, merges {"DNSOverHTTPS": {"Enabled": false, "Locked": true}} into the
// policies.json Firefox reads, when Firefox is installed or its folder exists, keeping
// the file's bytes in `backup` (a file of the helper's own) first. Without, puts the
// file back byte for byte, or removes it when there was none; if someone rewrote it
// meanwhile, only the key is taken out again. A file that is not a JSON object with a
// "policies" object, or a link, is left alone. `root` prefixes the system paths.
std::vector<PolicyChange> keepFirefoxPolicy(bool on, const FirefoxPlaces& places,
                                            const std::string& backup,
                                            const std::string& root = "");

}  // namespace tarrow::platform
