#pragma once
// Between what the user types, what the configuration stores, what is shown and what
// the hosts file lists.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/model/config.h"
#include "common/still_open_file.h"

namespace tarrow {

// Extra host names of a site, by its stored domain, in order.
const std::map<std::string, std::vector<std::string>, std::less<>>& aliases();

// The stored domain for a typed or pasted text (URL, host with port, wildcard, ...),
// or none when it is not a usable host name. International names come back as punycode.
std::optional<std::string> normalize(std::string_view text);

// The popular-site name of a domain, or the domain itself.
std::string siteName(std::string_view domain);

// The host names that blocking this site covers: the domain, its www. and m. forms and
// its aliases, those that pass validHost, in that order (duplicates are kept).
std::vector<std::string> hostNames(std::string_view domain);

// A blocked name that still resolves to an address of its own, and why.
struct OpenName {
    std::string name;
    std::string reason;
    bool operator==(const OpenName&) const = default;
};
// Per configured site, by its domain: its open names in `hostNames` order.
using SiteOpenNames = std::map<std::string, std::vector<OpenName>, std::less<>>;

// Each listed name goes to every site among `sites` whose host names cover it (a name
// two sites share is open for both); names no site covers and sites without an open
// name are left out.
SiteOpenNames openNamesBySite(const std::vector<Site>& sites, const StillOpen& open);

}  // namespace tarrow
