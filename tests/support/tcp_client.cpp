#include "tests/support/tcp_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tarrow::test {

Client::Client(uint16_t port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return;
    int one = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);  // one write, one segment
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) close();
}

Client::~Client() {
    close();
}

void Client::endSending() {
    if (fd_ >= 0) ::shutdown(fd_, SHUT_WR);
}

void Client::resetOnClose() {
    linger off{1, 0};
    if (fd_ >= 0) ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &off, sizeof off);
}

void Client::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool Client::send(const std::string& bytes) {
    size_t sent = 0;
    while (fd_ >= 0 && sent < bytes.size()) {
        ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return fd_ >= 0;
}

Client::Received Client::receive(std::chrono::milliseconds limit) {
    using namespace std::chrono;
    Received out;
    const auto start = steady_clock::now();
    while (fd_ >= 0) {
        auto left = duration_cast<milliseconds>(limit - (steady_clock::now() - start)).count();
        if (left <= 0) break;
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) break;
        char buffer[4096];
        ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n <= 0) {
            out.closed = true;
            break;
        }
        out.bytes.append(buffer, static_cast<size_t>(n));
    }
    out.after = duration_cast<milliseconds>(steady_clock::now() - start);
    return out;
}

}  // namespace tarrow::test
