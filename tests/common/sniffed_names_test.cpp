// The name a client asks for, from the first bytes of a plain request or a TLS hello:
// one hand-written case per kind of name, then mutated inputs (the bounds of every
// length field), each in a heap block of exactly its size so that AddressSanitizer sees
// a read one byte too far, checked for what must always hold. TARROW_MUTATIONS sets
// their count.

#include "common/sniff.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>

#include <gtest/gtest.h>

#include "tests/support/tls_hello.h"

namespace tarrow {
namespace {

using namespace test;

// What a name is: lower case, the first host name of a hello, the Host header's first
// value without its port; what is not: a folded or non-ASCII value, a request line missing.
TEST(SniffedNames, OneCasePerKindOfInput) {
    const std::vector<std::pair<std::string, Parsed>> tls = {
        {clientHello({serverNames({{0, "WWW.Example.COM"}})}), Parsed::host("www.example.com")},
        {clientHello({serverNames(
             {{7, "odd"}, {0, "b\xc3\xbcro.example"}, {0, "one.example"}, {0, "two.example"}})}),
         Parsed::host("one.example")},
        {clientHello({bigKeyShare()}), Parsed::none()},
        {"GET / HTTP/1.1\r\n", Parsed::none()},
    };
    for (const auto& [data, expected] : tls)
        EXPECT_EQ(clientHelloHost(data), expected) << testing::PrintToString(data);
    const std::string noBlank = "GET / HTTP/1.1\r\nHost: example.com\r\n";
    const std::vector<std::pair<std::string, Parsed>> http = {
        {noBlank, Parsed::incomplete()},
        {noBlank + std::string(16384, 'a'), Parsed::none()},
        {"GET / HTTP/1.1\r\nHOST:  Example.COM:80  \r\nHost: b.example\r\n\r\n",
         Parsed::host("example.com")},
        {"GET / HTTP/1.1\nHost: lf.example\n\n", Parsed::host("lf.example")},
        {"GET / HTTP/1.1\r\nHost:\r\n folded.example\r\n\r\n", Parsed::none()},
        {"Host: x.example\r\nAccept: y\r\n\r\n", Parsed::none()},
        {"GET / HTTP/1.1\r\nHost: a.example\xff\r\n\r\n", Parsed::none()},
        {clientHelloFor("x.example"), Parsed::incomplete()},
    };
    for (const auto& [data, expected] : http)
        EXPECT_EQ(httpHost(data), expected) << testing::PrintToString(data);
}

// The parser sees exactly `data`, with no readable byte after it.
Parsed exactly(Parsed (*parser)(std::string_view), const std::string& data) {
    std::unique_ptr<char[]> block(new char[std::max<size_t>(data.size(), 1)]);
    std::copy(data.begin(), data.end(), block.get());
    return parser(std::string_view(block.get(), data.size()));
}

bool hasUpper(const std::string& name) {
    return std::any_of(name.begin(), name.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

TEST(SniffedNames, MutatedInputs) {
    const std::vector<std::string> seeds = {
        clientHelloFor("www.example.com"),
        clientHello({serverNames({{1, "x"}, {0, "multi.example"}, {0, "two.example"}})}, 0),
        "GET / HTTP/1.1\r\nHost: www.example.com:80\r\nAccept: */*\r\n\r\n",
        "POST / HTTP/1.1\r\nhost:\xc2\xa0unicode.example\xe2\x80\xa8X: y\r\n\r\nbody",
    };
    std::mt19937_64 random(0x7a770);
    const auto pick = [&](size_t below) {
        return std::uniform_int_distribution<size_t>(0, below - 1)(random);
    };
    const char* count = std::getenv("TARROW_MUTATIONS");
    const size_t mutations = count ? std::strtoull(count, nullptr, 10) : 20000;
    size_t hosts = 0;
    for (size_t i = 0; i < mutations; ++i) {
        std::string data = seeds[i % seeds.size()];
        for (size_t round = 0, rounds = 1 + pick(4); round < rounds; ++round) {
            const size_t at = data.empty() ? 0 : pick(data.size());
            const std::string& other = seeds[pick(seeds.size())];
            const size_t how = data.empty() ? 2 : pick(6);
            if (how == 0) data[at] = static_cast<char>(pick(2) ? pick(256) : 0xff * pick(2));
            if (how == 1) data.insert(at, std::string(1 + pick(8), static_cast<char>(pick(256))));
            if (how == 2) data.insert(at, other.substr(pick(other.size())));
            if (how == 3) data.erase(at, 1 + pick(16));
            if (how == 4) data.resize(at);
            if (how == 5) data.insert(pick(data.size()), data.substr(at, 1 + pick(64)));
        }
        const Parsed tls = exactly(clientHelloHost, data);
        ASSERT_FALSE(hasUpper(tls.name));
        if (tls.kind != Parsed::Kind::incomplete) {
            ASSERT_EQ(clientHelloHost(data + "\x16\x03\x01more"), tls) << i;
            const Parsed early = exactly(clientHelloHost, data.substr(0, pick(data.size() + 1)));
            ASSERT_TRUE(early.kind == Parsed::Kind::incomplete || early == tls) << i;
        }
        const Parsed http = exactly(httpHost, data);
        if (http.kind == Parsed::Kind::host) {
            ++hosts;
            ASSERT_FALSE(http.name.empty() || http.name.find(':') != std::string::npos ||
                         hasUpper(http.name))
                << http.name;
        }
        const bool ended =
            data.find("\r\n\r\n") != std::string::npos || data.find("\n\n") != std::string::npos;
        ASSERT_EQ(http.kind == Parsed::Kind::incomplete, !ended && data.size() <= headerLimit) << i;
    }
    EXPECT_GT(hosts, 0u);  // not only garbage
}

}  // namespace
}  // namespace tarrow
