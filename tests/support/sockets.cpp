#include "tests/support/sockets.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tarrow::test {

sockaddr_in ipv4(const char* address, uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    ::inet_pton(AF_INET, address, &a.sin_addr);
    return a;
}

int boundSocket(int type, const char* address, uint16_t port) {
    const int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
    const sockaddr_in a = ipv4(address, port);
    if (fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0 &&
        (type != SOCK_STREAM || ::listen(fd, 8) == 0))
        return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

int connectedSocket(int type, const char* address, uint16_t port) {
    const int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
    const sockaddr_in a = ipv4(address, port);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

uint16_t localPort(int fd) {
    sockaddr_in a{};
    socklen_t size = sizeof a;
    return ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size) == 0 ? ntohs(a.sin_port) : 0;
}

}  // namespace tarrow::test
