#pragma once
// Looking names up through the system's own resolver (the C library: /etc/hosts, DNS,
// whatever nsswitch says), many at once, with one deadline for all of them together.

#include <chrono>
#include <string>
#include <vector>

#include "platform/ip_address.h"

namespace tarrow::platform {

// More than this many addresses for one name are dropped (a hostile or broken answer
// cannot make the caller's work grow without bound).
inline constexpr size_t maxAddressesPerName = 1024;

struct NameAnswer {
    enum class Outcome { addresses, failed, late };
    std::string name;
    Outcome outcome = Outcome::late;
    std::vector<IpAddress> addresses;  // distinct, in the resolver's order
    std::string error;                 // the resolver's words when it failed
};

// One answer per name, in the order given. Returns when every name has an answer or
// when `deadline` has passed, whichever comes first; names without an answer by then
// are `late`. Their lookups go on in the background, their answers are dropped, and
// never more than a few dozen such lookups are left running at once.
std::vector<NameAnswer> resolveNames(const std::vector<std::string>& names,
                                     std::chrono::milliseconds deadline);

}  // namespace tarrow::platform
