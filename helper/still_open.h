#pragma once
// Why a blocked name still resolves to an address of its own. A pure text function.

#include <string>
#include <string_view>
#include <vector>

#include "platform/ip_address.h"

namespace tarrow {

// Why `name` resolved to `foreign` (addresses outside the section) although the hosts
// text blocks it: a line of the hosts file (outside the section) that names it, before
// or after the section; else the resolver's answer itself.
std::string stillOpenReason(std::string_view hostsText, std::string_view name,
                            const std::vector<platform::IpAddress>& foreign);

}  // namespace tarrow
