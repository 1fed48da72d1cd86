// The connections to a blocked site's addresses are closed, every kind of socket (TCP,
// an IPv6 socket talking to an IPv4 peer, connected UDP) and nothing else: not another
// address, nor a listener, nor loopback's own kind of address in the list.

#include "platform/open_connections.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>

#include "tests/support/private_network.h"
#include "tests/support/sockets.h"

using namespace tarrow;
using namespace tarrow::platform;
using tarrow::test::failed;

namespace {

IpAddress ip(const char* text) {
    return *IpAddress::parse(text);
}

// Loopback, unspecified and multicast addresses are special; a v4-mapped address is the
// v4 one, a v4-compatible one is not.
TEST(OpenConnections, AddressesReadAndKinds) {
    const std::tuple<const char*, bool, bool> rows[] = {
        {"192.0.2.1", true, false},  {"2001:db8::1", false, false}, {"0.0.0.0", true, true},
        {"::", false, true},         {"127.255.0.1", true, true},   {"::1", false, true},
        {"224.0.0.251", true, true}, {"ff02::fb", false, true},     {"fe80::1", false, false}};
    for (const auto& [text, v4, special] : rows)
        EXPECT_EQ(std::make_tuple(ip(text).text(), ip(text).isV4(), ip(text).isLocalOrSpecial()),
                  std::make_tuple(std::string(text), v4, special));
    for (const char* bad : {"", "1.2.3", "example.com", "1.2.3.4 ", "::g"})
        EXPECT_FALSE(IpAddress::parse(bad)) << bad;
    EXPECT_EQ(ip("::ffff:192.0.2.1"), ip("192.0.2.1"));
    EXPECT_NE(ip("::192.0.2.1"), ip("192.0.2.1"));
}

// The blocked site on 127.0.0.5, another on 127.0.0.6, in a private network.
TEST(OpenConnections, EverySocketToTheAddressesAndNothingElse) {
    const int status = test::inPrivateNetwork([] {
        const int blocked = test::boundSocket(SOCK_STREAM, "127.0.0.5", 8080);
        const int other = test::boundSocket(SOCK_STREAM, "127.0.0.6", 8080);
        const int tcp = test::connectedSocket(SOCK_STREAM, "127.0.0.5", 8080);
        const int udp = test::connectedSocket(SOCK_DGRAM, "127.0.0.5", 443);
        const int kept = test::connectedSocket(SOCK_STREAM, "127.0.0.6", 8080);
        const int mapped = ::socket(AF_INET6, SOCK_STREAM, 0);
        sockaddr_in6 a{};
        a.sin6_family = AF_INET6;
        a.sin6_port = htons(8080);
        ::inet_pton(AF_INET6, "::ffff:127.0.0.5", &a.sin6_addr);
        if (blocked < 0 || other < 0 || tcp < 0 || udp < 0 || kept < 0 ||
            ::connect(mapped, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
            return failed("connect");
        const Result<size_t> closed = closeConnectionsTo({ip("127.0.0.5"), ip("192.0.2.1")});
        if (!closed.ok()) return closed.status().error() == EOPNOTSUPP ? 77 : failed("close", 2);
        if (*closed != 3) return failed("three sockets closed", 3);
        const auto error = [](int fd) {
            int e = 0;
            socklen_t length = sizeof e;
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &e, &length);
            char byte;
            return e != 0 ? e : ::recv(fd, &byte, 1, MSG_DONTWAIT) < 0 ? errno : 0;
        };
        for (int fd : {tcp, mapped, udp})
            if (error(fd) != ECONNABORTED) return failed("told", 4);
        if (::send(kept, "x", 1, 0) != 1) return failed("other kept", 5);
        if (test::connectedSocket(SOCK_STREAM, "127.0.0.5", 8080) < 0)
            return failed("listener kept", 6);
        const Result<size_t> none = closeConnectionsTo({});
        return none.ok() && *none == 0 ? 0 : failed("empty set", 7);
    });
    if (status == 77) GTEST_SKIP() << "needs root and a kernel with SOCK_DESTROY";
    EXPECT_EQ(status, 0);
}

}  // namespace
