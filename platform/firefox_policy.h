#pragma once
// Tarrow's entries in the enterprise policies Firefox reads at its start:
// - DNSOverHTTPS off (locked): measured with Firefox ESR on Debian 12 (DNS-over-HTTPS on,
//   "increased protection"), a Firefox goes on resolving a name through DNS-over-HTTPS
//   after it was added to the hosts file; with this policy it resolves through the
//   system, hosts file first;
// - the preferences network.dnsCacheExpiration and network.dnsCacheExpirationGracePeriod
//   locked short: measured, a running Firefox keeps a looked-up address in its own name
//   cache and went on opening a site for minutes after the hosts file blocked it.
// Firefox reads policies only when it starts, so the entries are kept while the helper
// is installed, not only while something is blocked: a Firefox started before a block
// follows it too. One that was already running when Tarrow was set up needs one restart.
//
// Firefox reads /etc/firefox/policies/policies.json (Debian's firefox-esr and firefox,
// and the snap, which is given that folder), or, when that file is absent, the
// policies.json of its installation's distribution folder. The flatpak sees its own /etc:
// its system-wide policies folder is the unmanaged "systemconfig" extension of the
// installation. The file may hold the administrator's own policies: the entries are
// merged into it, an administrator's own value for one of the preferences wins, and the
// file's exact bytes are kept aside first and put back when the helper is removed.

#include <string>
#include <string_view>
#include <vector>

#include "platform/browser_policies.h"

namespace tarrow::platform {

struct FirefoxPlaces {
    std::string_view folder;                      // where the system-wide policies.json is
    std::vector<std::string_view> distributions;  // installations' policy folders (read only)
    std::vector<std::string_view> installedAt;    // present when this Firefox is installed
    std::string_view kept;                        // the backup's name in the helper's folder
};
// Every kind of Firefox installation this system may have.
const std::vector<FirefoxPlaces>& firefoxPlaces();

inline constexpr std::string_view firefoxPolicyFile = "policies.json";
// How long Firefox may keep a looked-up address (seconds); its grace period is 0. Zero:
// a block holds within the second cut (a second), and bench/bench_firefox_cache.sh
// measured the price small: about one name server round trip on a page's new
// connections without a caching resolver, nothing measurable with one.
inline constexpr int firefoxNameCacheSeconds = 0;

// With `on`, merges Tarrow's entries into the policies.json Firefox reads, when Firefox
// is installed or its folder exists, keeping the file's bytes in `backup` (a file of the
// helper's own) first; a written change's `why` names the administrator's values that
// were kept instead of ours. Without, puts the file back byte for byte, or removes it
// when there was none; if someone rewrote it meanwhile, only our entries are taken out
// again. A file that is not a JSON object with a "policies" object (and an object as
// its "Preferences"), or a link, is left alone. `root` prefixes the system paths.
std::vector<PolicyChange> keepFirefoxPolicy(bool on, const FirefoxPlaces& places,
                                            const std::string& backup,
                                            const std::string& root = "");

}  // namespace tarrow::platform
