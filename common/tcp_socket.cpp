#include "common/tcp_socket.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include <asio.hpp>

namespace tarrow {

namespace {

std::error_code lastError() {
    return {errno, asio::error::get_system_category()};
}

}  // namespace

std::error_code openListening(asio::ip::tcp::acceptor& acceptor,
                              const asio::ip::tcp::endpoint& endpoint) {
    const auto protocol = endpoint.protocol();
    int fd = ::socket(protocol.family(), protocol.type() | SOCK_CLOEXEC | SOCK_NONBLOCK,
                      protocol.protocol());
    if (fd < 0) return lastError();
    std::error_code error;
    acceptor.assign(protocol, fd, error);
    if (error) {
        ::close(fd);
        return error;
    }
    acceptor.set_option(asio::ip::tcp::acceptor::reuse_address(true), error);
    if (!error) acceptor.bind(endpoint, error);
    if (!error) acceptor.listen(asio::socket_base::max_listen_connections, error);
    return error;
}

std::error_code acceptOne(asio::ip::tcp::acceptor& acceptor, const asio::ip::tcp& protocol,
                          asio::ip::tcp::socket& socket) {
    int fd = -1;
    do {
        fd = ::accept4(acceptor.native_handle(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK) return asio::error::would_block;
        return lastError();
    }
    std::error_code error;
    socket.assign(protocol, fd, error);
    if (error) ::close(fd);
    return error;
}

}  // namespace tarrow
