#include "common/sniff.h"

#include <gtest/gtest.h>

#include "tests/support/tls_hello.h"

namespace tarrow {
namespace {

#include "tests/common/openssl_hello.inc"

using namespace test;  // the hello builders

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

// The simple hello built by hand, byte by byte, with one server-name extension.
std::string plainHello(const std::string& name) {
    const size_t n = name.size();
    std::string ext = bytes({0, 0, 0, static_cast<int>(n + 5), 0, static_cast<int>(n + 3), 0, 0,
                             static_cast<int>(n)}) +
                      name;
    std::string body = bytes({3, 3}) + std::string(32, '\x42') + bytes({0, 0, 2, 0x13, 1, 1, 0}) +
                       bytes({0, static_cast<int>(ext.size())}) + ext;
    std::string hs = bytes({1, 0, 0, static_cast<int>(body.size())}) + body;
    return bytes({0x16, 3, 1, 0, static_cast<int>(hs.size())}) + hs;
}

struct ParseCase {
    const char* what;
    std::string data;
    Parsed expected;
};

TEST(ClientHelloHost, Cases) {
    const std::string simple = plainHello("www.example.com");
    std::string lengthPastEnd = clientHelloFor("a.example");
    lengthPastEnd[3] = static_cast<char>(0x7f);  // record claims far more than is held
    std::string shortRecord = simple;
    shortRecord[3] = 0;
    shortRecord[4] = 38;  // record length below the minimum
    std::string sessionPastEnd = simple;
    sessionPastEnd[43] = static_cast<char>(0xff);
    std::string suitesPastEnd = simple;
    suitesPastEnd[44] = static_cast<char>(0xff);
    std::string extensionOverruns = clientHello({filler(5, 4), serverNames({{0, "x.example"}})});
    const size_t firstExtension = 58 + 32;  // headers, random, session id, suites, compression
    extensionOverruns[firstExtension + 3] = 0x7f;
    // An outer length shorter than the extensions: the walk stops at the record's end.
    std::string extensionsClipped = simple;
    extensionsClipped.resize(extensionsClipped.size() - 3);
    extensionsClipped[4] = static_cast<char>(extensionsClipped[4] - 3);
    // The extensions' total length ends inside the server-name extension.
    std::string totalTooShort = simple;
    totalTooShort[51] = 4;  // offset 50-51: the extensions' length of the hand-built hello
    // The server-name extension's data length shorter than its list: entries run past it.
    std::string nameRunsOver = plainHello("www.example.com");
    nameRunsOver[nameRunsOver.size() - 15 - 6] = 6;

    const std::vector<ParseCase> cases = {
        {"simple hello", simple, Parsed::host("www.example.com")},
        {"http request", "GET / HTTP/1.1\r\n", Parsed::none()},
        {"complete record too short", bytes({0x16, 3, 1, 0, 2, 1, 0}), Parsed::none()},
        {"handshake not a hello", bytes({0x16, 3, 1, 0, 4, 2, 0, 0, 0}), Parsed::none()},
        {"upper-case name", plainHello("WWW.Example.COM"), Parsed::host("www.example.com")},
        {"openssl hello", opensslHello, Parsed::host("www.example.com")},
        {"large key share", clientHelloFor("news.example.org"), Parsed::host("news.example.org")},
        {"only another extension", clientHello({bigKeyShare()}), Parsed::none()},
        {"record length past what is held", lengthPastEnd, Parsed::incomplete()},
        {"record length under 39", shortRecord, Parsed::none()},
        {"session id past the end", sessionPastEnd, Parsed::none()},
        {"cipher suites past the end", suitesPastEnd, Parsed::none()},
        {"extension runs past the others", extensionOverruns, Parsed::none()},
        {"extensions clipped by the record", extensionsClipped, Parsed::none()},
        {"name runs past its extension", nameRunsOver, Parsed::none()},
        {"extensions' total ends inside one", totalTooShort, Parsed::none()},
        {"several names, first host name wins",
         clientHello({serverNames({{0, "one.example"}, {0, "two.example"}})}),
         Parsed::host("one.example")},
        {"other name types skipped", clientHello({serverNames({{7, "odd"}, {0, "real.example"}})}),
         Parsed::host("real.example")},
        {"non-ascii name skipped",
         clientHello({serverNames({{0, "b\xc3\xbcro.example"}, {0, "xn--bro-hoa.example"}})}),
         Parsed::host("xn--bro-hoa.example")},
        {"only a non-ascii name", clientHello({serverNames({{0, "b\xc3\xbcro.example"}})}),
         Parsed::none()},
        {"empty name", clientHello({serverNames({{0, ""}})}), Parsed::host("")},
        {"server name of 4 bytes is skipped",
         clientHello({{0, bytes({0, 2, 0, 0})}, serverNames({{0, "late.example"}})}),
         Parsed::host("late.example")},
        {"no session id", clientHello({serverNames({{0, "nosid.example"}})}, 0),
         Parsed::host("nosid.example")},
    };
    for (const auto& c : cases) EXPECT_EQ(clientHelloHost(c.data), c.expected) << c.what;
}

// Only the whole record decides: every shorter prefix (the empty one too) is undecided.
TEST(ClientHelloHost, EveryPrefixWaits) {
    for (const std::string& hello :
         {opensslHello, clientHelloFor("www.example.com"), plainHello("a.example")}) {
        const Parsed whole = clientHelloHost(hello);
        ASSERT_EQ(whole.kind, Parsed::Kind::host);
        for (size_t n = 0; n < hello.size(); ++n)
            ASSERT_EQ(clientHelloHost(hello.substr(0, n)), Parsed::incomplete()) << n;
        EXPECT_EQ(clientHelloHost(hello + "trailing bytes"), whole);
    }
}

TEST(HttpHost, Cases) {
    const std::string noBlank = "GET / HTTP/1.1\r\nHost: example.com\r\n";
    const std::vector<ParseCase> cases = {
        {"host with port", "GET / HTTP/1.1\r\nHost: www.example.com:80\r\nAccept: */*\r\n\r\n",
         Parsed::host("www.example.com")},
        {"no blank line yet", noBlank, Parsed::incomplete()},
        {"16 KB without a blank line", noBlank + std::string(16384, 'a'), Parsed::none()},
        {"exactly 16384 without a blank line", std::string(16384, 'a'), Parsed::incomplete()},
        {"only a request line", "GET / HTTP/1.1\r\n\r\n", Parsed::none()},
        {"spaces and case", "GET / HTTP/1.1\r\nHOST:  Example.COM  \r\n\r\n",
         Parsed::host("example.com")},
        {"host only a port", "GET / HTTP/1.1\r\nHost: :8080\r\n\r\n", Parsed::none()},
        {"bare line feeds", "GET / HTTP/1.1\nHost: lf.example\n\n", Parsed::host("lf.example")},
        {"repeated host, first wins",
         "GET / HTTP/1.1\r\nHost: a.example\r\nHost: b.example\r\n\r\n", Parsed::host("a.example")},
        {"folded host value", "GET / HTTP/1.1\r\nHost:\r\n folded.example\r\n\r\n", Parsed::none()},
        {"request line is never a header", "Host: x.example\r\nAccept: y\r\n\r\n", Parsed::none()},
        {"tab before the header", "GET / HTTP/1.1\r\n\tHost: tab.example\r\n\r\n",
         Parsed::host("tab.example")},
        {"unicode line separator splits", "GET / HTTP/1.1\xe2\x80\xa8Host: ls.example\r\n\r\n",
         Parsed::host("ls.example")},
        {"vertical tab splits", "GET / HTTP/1.1\x0bHost: vt.example\r\n\r\n",
         Parsed::host("vt.example")},
        {"invalid utf-8 head", "GET / HTTP/1.1\r\nHost: a.example\xff\r\n\r\n", Parsed::none()},
        {"no host header, only one that starts like it",
         "GET / HTTP/1.1\r\nHostname: h.example\r\n\r\n", Parsed::none()},
        {"non-ascii value passed on", "GET / HTTP/1.1\r\nHost: B\xc3\xbcro.example\r\n\r\n",
         Parsed::host("b\xc3\xbcro.example")},
        {"tls bytes", clientHelloFor("x.example"), Parsed::incomplete()},
    };
    for (const auto& c : cases) EXPECT_EQ(httpHost(c.data), c.expected) << c.what;
}

TEST(HttpHost, EveryPrefixOfARequestWaits) {
    const std::string request =
        "GET /index.html HTTP/1.1\r\nUser-Agent: curl/7.88.1\r\nHost: www.example.com\r\n"
        "Accept: */*\r\n\r\n";
    for (size_t n = 0; n + 1 < request.size(); ++n)
        ASSERT_EQ(httpHost(request.substr(0, n)), Parsed::incomplete()) << n;
    EXPECT_EQ(httpHost(request), Parsed::host("www.example.com"));
}

}  // namespace
}  // namespace tarrow
