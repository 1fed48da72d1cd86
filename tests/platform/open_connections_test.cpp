#include "platform/open_connections.h"

#include <arpa/inet.h>
#include <linux/capability.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>

#include "tests/support/private_network.h"
#include "tests/support/sockets.h"

using namespace tarrow;
using namespace tarrow::platform;
using tarrow::test::failed;
using tarrow::test::inPrivateNetwork;

namespace {

IpAddress ip(const char* text) {
    return *IpAddress::parse(text);
}

int listener(const char* address, uint16_t port) {
    return test::boundSocket(SOCK_STREAM, address, port);
}
int tcpTo(const char* address, uint16_t port) {
    return test::connectedSocket(SOCK_STREAM, address, port);
}

// An IPv6 socket talking to an IPv4 peer, as browsers' dual-stack sockets may.
int mappedTcpTo(const char* address, uint16_t port) {
    int fd = ::socket(AF_INET6, SOCK_STREAM, 0);
    sockaddr_in6 a{};
    a.sin6_family = AF_INET6;
    a.sin6_port = htons(port);
    ::inet_pton(AF_INET6, (std::string("::ffff:") + address).c_str(), &a.sin6_addr);
    return ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 ? fd : -1;
}

int pendingError(int fd) {
    int error = 0;
    socklen_t length = sizeof error;
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
    return error;
}

bool dropNetAdmin() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (::syscall(SYS_capget, &header, data) != 0) return false;
    data[0].effective &= ~(1u << CAP_NET_ADMIN);
    return ::syscall(SYS_capset, &header, data) == 0;
}

// The blocked site lives on 127.0.0.5, another one on 127.0.0.6 (a private network, so
// any loopback address will do). Every kind of socket that talks to .5 is closed and
// told so; the one to .6 and the listeners stay.
TEST(OpenConnections, ClosesEverySocketToTheAddressesAndNothingElse) {
    int status = inPrivateNetwork([] {
        int blocked = listener("127.0.0.5", 8080), other = listener("127.0.0.6", 8080);
        if (blocked < 0 || other < 0) return failed("listen");
        int tcp = tcpTo("127.0.0.5", 8080), mapped = mappedTcpTo("127.0.0.5", 8080);
        int udp = test::connectedSocket(SOCK_DGRAM, "127.0.0.5", 443),
            kept = tcpTo("127.0.0.6", 8080);
        int unconnected = ::socket(AF_INET, SOCK_DGRAM, 0);
        if (tcp < 0 || mapped < 0 || udp < 0 || kept < 0) return failed("connect");

        Result<size_t> closed = closeConnectionsTo({ip("127.0.0.5"), ip("192.0.2.1")});
        if (!closed.ok()) {
            std::fprintf(stderr, "%s\n", closed.status().text().c_str());
            // Only a kernel without SOCK_DESTROY may refuse; that is a skip, not a fault.
            return closed.status().error() == EOPNOTSUPP ? 77 : failed("close", 2);
        }
        // Two TCP connections and the connected UDP socket; the servers' ends talk to
        // the client address 127.0.0.1 and stay.
        if (*closed != 3) return failed("three sockets closed", 3);
        char byte;
        if (::recv(tcp, &byte, 1, 0) >= 0 || errno != ECONNABORTED) return failed("tcp told", 4);
        if (::recv(mapped, &byte, 1, 0) >= 0 || errno != ECONNABORTED)
            return failed("mapped told", 5);
        if (pendingError(udp) != ECONNABORTED) return failed("udp told", 6);
        if (pendingError(kept) != 0 || ::send(kept, "x", 1, 0) != 1) return failed("other kept", 7);
        if (pendingError(unconnected) != 0) return failed("unconnected kept", 8);
        if (tcpTo("127.0.0.5", 8080) < 0) return failed("listener kept", 9);

        Result<size_t> again = closeConnectionsTo({ip("127.0.0.5")});
        if (!again.ok() || *again != 1) return failed("only the new connection", 10);
        Result<size_t> none = closeConnectionsTo({});
        return none.ok() && *none == 0 ? 0 : failed("empty set", 11);
    });
    if (status == 77) GTEST_SKIP() << "needs root and a kernel with SOCK_DESTROY";
    EXPECT_EQ(status, 0);
}

TEST(OpenConnections, WithoutNetAdminTheKernelsRefusalIsTheResult) {
    int status = inPrivateNetwork([] {
        int blocked = listener("127.0.0.5", 8080);
        int tcp = tcpTo("127.0.0.5", 8080);
        if (blocked < 0 || tcp < 0) return failed("connect");
        if (!dropNetAdmin()) return failed("drop CAP_NET_ADMIN");
        Result<size_t> closed = closeConnectionsTo({ip("127.0.0.5")});
        if (closed.ok()) return failed("refused", 2);
        if (closed.status().error() != EPERM) return failed("EPERM", 3);
        return closed.status().text().starts_with("cannot close connections through")
                   ? 0
                   : failed("text", 4);
    });
    if (status == 77) GTEST_SKIP() << "needs root";
    EXPECT_EQ(status, 0);
}

}  // namespace
