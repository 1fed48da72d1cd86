#pragma once
// An IPv4 or IPv6 address as one value: IPv4 is held in its IPv6-mapped form
// (::ffff:a.b.c.d), so both families compare, sort and match the same way, also against
// IPv6 sockets that talk to IPv4 peers.

#include <netinet/in.h>
#include <sys/socket.h>

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarrow::platform {

struct IpAddress {
    std::array<uint8_t, 16> bytes{};

    static IpAddress v4(const in_addr& address);
    static IpAddress v6(const in6_addr& address);
    // From a socket address of either family; none for other families.
    static std::optional<IpAddress> from(const sockaddr* address);
    // From text such as "192.0.2.1" or "2001:db8::1".
    static std::optional<IpAddress> parse(std::string_view text);

    bool isV4() const;
    // 0.0.0.0, ::, 127.0.0.0/8, ::1, multicast and the IPv4 broadcast address: addresses
    // that name no remote site.
    bool isLocalOrSpecial() const;
    std::string text() const;

    auto operator<=>(const IpAddress&) const = default;
};

}  // namespace tarrow::platform
