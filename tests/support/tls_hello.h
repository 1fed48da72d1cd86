#pragma once
// Building TLS ClientHello records for the tests of sniffing and of the listener.

#include <cstdint>
#include <string>
#include <vector>

namespace tarrow::test {

struct Extension {
    uint16_t type = 0;
    std::string data;
};

// The server-name extension for these (type, name) entries.
Extension serverNames(const std::vector<std::pair<uint8_t, std::string>>& entries);
// A key share as a post-quantum hybrid sends it: one large share (1216 bytes for
// X25519Kyber768) plus a classic X25519 share.
Extension bigKeyShare();
// A padding-like extension of this many zero bytes.
Extension filler(uint16_t type, size_t size);

// A whole record: header, handshake header, version, random, session id, cipher suites,
// compression methods and the extensions.
std::string clientHello(const std::vector<Extension>& extensions, size_t sessionId = 32);
std::string clientHelloFor(const std::string& name);

}  // namespace tarrow::test
