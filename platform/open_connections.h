#pragma once
// Closing the machine's open connections to given addresses, through the kernel's
// socket diagnostics (SOCK_DESTROY over a NETLINK_SOCK_DIAG socket): an established TCP
// connection is reset, a connected UDP socket (QUIC) is disconnected, and the program
// that held it sees an error at once and has to connect anew.
// Needs CAP_NET_ADMIN and a kernel built with CONFIG_INET_DIAG_DESTROY.

#include <cstddef>
#include <set>

#include "common/status.h"
#include "platform/ip_address.h"

namespace tarrow::platform {

// Closes every established (or still connecting) TCP connection and every connected
// UDP socket, of either family, whose remote address is in `remotes`. The count of
// sockets closed; a failure when the kernel refuses (no permission, no support).
Result<size_t> closeConnectionsTo(const std::set<IpAddress>& remotes);

}  // namespace tarrow::platform
