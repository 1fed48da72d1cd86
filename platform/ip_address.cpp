#include "platform/ip_address.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstring>

namespace tarrow::platform {

namespace {

constexpr std::array<uint8_t, 12> mappedPrefix{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};

}  // namespace

IpAddress IpAddress::v4(const in_addr& address) {
    IpAddress ip;
    std::copy(mappedPrefix.begin(), mappedPrefix.end(), ip.bytes.begin());
    std::memcpy(ip.bytes.data() + 12, &address.s_addr, 4);
    return ip;
}

IpAddress IpAddress::v6(const in6_addr& address) {
    IpAddress ip;
    std::memcpy(ip.bytes.data(), address.s6_addr, 16);
    return ip;
}

std::optional<IpAddress> IpAddress::from(const sockaddr* address) {
    if (!address) return std::nullopt;
    if (address->sa_family == AF_INET)
        return v4(reinterpret_cast<const sockaddr_in*>(address)->sin_addr);
    if (address->sa_family == AF_INET6)
        return v6(reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr);
    return std::nullopt;
}

std::optional<IpAddress> IpAddress::parse(std::string_view text) {
    const std::string s(text);
    in_addr four{};
    if (::inet_pton(AF_INET, s.c_str(), &four) == 1) return v4(four);
    in6_addr six{};
    if (::inet_pton(AF_INET6, s.c_str(), &six) == 1) return v6(six);
    return std::nullopt;
}

bool IpAddress::isV4() const {
    return std::equal(mappedPrefix.begin(), mappedPrefix.end(), bytes.begin());
}

bool IpAddress::isLocalOrSpecial() const {
    if (isV4()) {
        const uint8_t first = bytes[12];
        const bool broadcast =
            std::all_of(bytes.begin() + 12, bytes.end(), [](uint8_t b) { return b == 0xff; });
        const bool unspecified =
            std::all_of(bytes.begin() + 12, bytes.end(), [](uint8_t b) { return b == 0; });
        return unspecified || broadcast || first == 127 || (first >= 224 && first <= 239);
    }
    const bool zeroHead =
        std::all_of(bytes.begin(), bytes.begin() + 15, [](uint8_t b) { return b == 0; });
    return (zeroHead && bytes[15] <= 1) || bytes[0] == 0xff;  // ::, ::1, multicast
}

std::string IpAddress::text() const {
    char buffer[INET6_ADDRSTRLEN] = {};
    if (isV4()) {
        ::inet_ntop(AF_INET, bytes.data() + 12, buffer, sizeof buffer);
    } else {
        ::inet_ntop(AF_INET6, bytes.data(), buffer, sizeof buffer);
    }
    return buffer;
}

}  // namespace tarrow::platform
