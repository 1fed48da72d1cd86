#pragma once
// Plain IPv4 sockets for the tests of listeners, name lookups and connection closing.

#include <netinet/in.h>

#include <cstdint>

namespace tarrow::test {

sockaddr_in ipv4(const char* address, uint16_t port);

// A socket of this type bound to address:port (0: any free port), listening when it is a
// stream socket; -1 when that cannot be had.
int boundSocket(int type, const char* address, uint16_t port = 0);

// A socket of this type connected to address:port; -1 when the connect fails.
int connectedSocket(int type, const char* address, uint16_t port);

// The port a socket is bound to; 0 when it is none.
uint16_t localPort(int fd);

}  // namespace tarrow::test
