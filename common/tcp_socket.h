#pragma once
// Listening and accepted sockets that no program started later inherits: each is made
// close-on-exec in the call that creates it, so a tool or browser started meanwhile on
// another thread never keeps a port of ours bound.

#include <system_error>

#include <asio/ip/tcp.hpp>

namespace tarrow {

// Opens a close-on-exec, non-blocking socket for the endpoint's protocol into `acceptor`,
// allows local address reuse, binds and listens.
std::error_code openListening(asio::ip::tcp::acceptor& acceptor,
                              const asio::ip::tcp::endpoint& endpoint);

// Accepts one waiting connection of the acceptor's protocol into `socket`
// (close-on-exec, non-blocking); asio::error::would_block when none is waiting.
std::error_code acceptOne(asio::ip::tcp::acceptor& acceptor, const asio::ip::tcp& protocol,
                          asio::ip::tcp::socket& socket);

}  // namespace tarrow
