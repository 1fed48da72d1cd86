#pragma once
// Blocked names that still resolve to an address of their own, with the reason, and the
// small status file that lists them for the app. Pure text functions.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ip_address.h"

namespace tarrow {

// name -> why it still resolves to a real address
using StillOpen = std::map<std::string, std::string>;

// Why `name` resolved to `foreign` (addresses outside the section) although the hosts
// text blocks it: a line of the hosts file (outside the section) that names it, before
// or after the section; else the resolver's answer itself.
std::string stillOpenReason(std::string_view hostsText, std::string_view name,
                            const std::vector<platform::IpAddress>& foreign);

// The status file: one line "name: reason" per name, in name order; "" for none.
std::string stillOpenText(const StillOpen& open);
// Its reading; lines that do not have the form are skipped.
StillOpen parseStillOpen(std::string_view text);

}  // namespace tarrow
