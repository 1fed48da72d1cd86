// Checks of the connection sniffing and the helper's block page, which both programs share.

#include "app/controller/selftest.h"
#include "common/block_page.h"
#include "common/sniff.h"

namespace tarrow::app {

namespace {

std::string u16(size_t n) {
    return {static_cast<char>(n >> 8), static_cast<char>(n & 0xff)};
}
std::string u24(size_t n) {
    return static_cast<char>(n >> 16) + u16(n & 0xffff);
}

// A minimal TLS 1.2 ClientHello record naming one server.
std::string clientHello(const std::string& name) {
    std::string entry = std::string(1, '\0') + u16(name.size()) + name;
    std::string sni = u16(0) + u16(entry.size() + 2) + u16(entry.size()) + entry;
    std::string body = "\x03\x03" + std::string(32, 'r') + std::string(1, '\0') + u16(2) +
                       "\x13\x01" + std::string("\x01\x00", 2) + u16(sni.size()) + sni;
    std::string handshake = "\x01" + u24(body.size()) + body;
    return "\x16\x03\x01" + u16(handshake.size()) + handshake;
}

}  // namespace

std::vector<Check> sharedChecks() {
    const std::string hello = clientHello("www.Example.com");
    return {
        {"sniff: the server name of a ClientHello",
         clientHelloHost(hello) == Parsed::host("www.example.com")},
        {"sniff: a cut ClientHello waits for more",
         clientHelloHost(hello.substr(0, hello.size() - 3)) == Parsed::incomplete()},
        {"sniff: bytes that are no ClientHello name nothing",
         clientHelloHost("GET / HTTP/1.1\r\n\r\n") == Parsed::none()},
        {"sniff: the Host header without its port",
         httpHost("GET / HTTP/1.1\r\nHost: www.example.com:80\r\nAccept: */*\r\n\r\n") ==
             Parsed::host("www.example.com")},
        {"sniff: a head without its blank line waits",
         httpHost("GET / HTTP/1.1\r\nHost: example.com\r\n") == Parsed::incomplete()},
        {"page: the block page escapes what it is given",
         blockPage(std::string("<x-bad>.example")).find("<x-bad") == std::string::npos &&
             blockPage(std::string("<x-bad>.example")).find("&lt;x-bad") != std::string::npos},
        {"page: the answer is a 403 that closes",
         blockAnswer(std::string("example.com")).rfind("HTTP/1.1 403 Forbidden\r\n", 0) == 0},
    };
}

}  // namespace tarrow::app
