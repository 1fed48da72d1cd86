// The addresses whose connections are cut: read strictly, loopback's and the other
// special kinds told apart. (The cutting itself: the hold scripts.)

#include "platform/ip_address.h"

#include <gtest/gtest.h>

using namespace tarrow;
using namespace tarrow::platform;

namespace {

IpAddress ip(const char* text) {
    return *IpAddress::parse(text);
}

// Loopback, unspecified and multicast addresses are special; a v4-mapped address is the
// v4 one, a v4-compatible one is not.
TEST(IpAddress, ReadStrictlyAndKindsToldApart) {
    const std::tuple<const char*, bool, bool> rows[] = {
        {"192.0.2.1", true, false},  {"2001:db8::1", false, false}, {"0.0.0.0", true, true},
        {"::", false, true},         {"127.255.0.1", true, true},   {"::1", false, true},
        {"224.0.0.251", true, true}, {"ff02::fb", false, true},     {"fe80::1", false, false}};
    for (const auto& [text, v4, special] : rows)
        EXPECT_EQ(std::make_tuple(ip(text).text(), ip(text).isV4(), ip(text).isLocalOrSpecial()),
                  std::make_tuple(std::string(text), v4, special));
    for (const char* bad : {"", "1.2.3", "example.com", "1.2.3.4 ", "::g"})
        EXPECT_FALSE(IpAddress::parse(bad)) << bad;
    EXPECT_EQ(ip("::ffff:192.0.2.1"), ip("192.0.2.1"));
    EXPECT_NE(ip("::192.0.2.1"), ip("192.0.2.1"));
}

}  // namespace
