#include "tests/support/tls_hello.h"

namespace tarrow::test {

namespace {

void put16(std::string& out, size_t value) {
    out.push_back(static_cast<char>(value >> 8 & 0xFF));
    out.push_back(static_cast<char>(value & 0xFF));
}

void put24(std::string& out, size_t value) {
    out.push_back(static_cast<char>(value >> 16 & 0xFF));
    put16(out, value & 0xFFFF);
}

}  // namespace

Extension serverNames(const std::vector<std::pair<uint8_t, std::string>>& entries) {
    std::string list;
    for (const auto& [type, name] : entries) {
        list.push_back(static_cast<char>(type));
        put16(list, name.size());
        list += name;
    }
    Extension e{0, {}};
    put16(e.data, list.size());
    e.data += list;
    return e;
}

Extension bigKeyShare() {
    std::string shares;
    put16(shares, 0x6399);  // X25519Kyber768
    put16(shares, 1216);
    shares += std::string(1216, '\x5a');
    put16(shares, 0x001d);  // X25519
    put16(shares, 32);
    shares += std::string(32, '\x33');
    Extension e{51, {}};
    put16(e.data, shares.size());
    e.data += shares;
    return e;
}

Extension filler(uint16_t type, size_t size) {
    return {type, std::string(size, '\0')};
}

std::string clientHello(const std::vector<Extension>& extensions, size_t sessionId) {
    std::string body = "\x03\x03";
    body += std::string(32, '\x11');  // random
    body.push_back(static_cast<char>(sessionId));
    body += std::string(sessionId, '\x22');
    const std::string suites = {'\x13', '\x01', '\x13', '\x02', '\x13', '\x03', '\xc0', '\x2b'};
    put16(body, suites.size());
    body += suites;
    body += std::string("\x01\x00", 2);  // compression: null only
    std::string exts;
    for (const Extension& e : extensions) {
        put16(exts, e.type);
        put16(exts, e.data.size());
        exts += e.data;
    }
    put16(body, exts.size());
    body += exts;

    std::string handshake = "\x01";
    put24(handshake, body.size());
    handshake += body;
    std::string record = "\x16\x03\x01";
    put16(record, handshake.size());
    return record + handshake;
}

std::string clientHelloFor(const std::string& name) {
    return clientHello({filler(0x0a, 8), serverNames({{0, name}}), bigKeyShare(), filler(0x2b, 3),
                        filler(21, 220)});  // padding, as browsers add
}

}  // namespace tarrow::test
