#include "platform/ip_address.h"

#include <gtest/gtest.h>

using namespace tarrow::platform;

namespace {

TEST(IpAddress, TextAndKinds) {
    struct Row {
        const char* text;
        bool v4, special;
    };
    const Row rows[] = {
        {"192.0.2.1", true, false}, {"2001:db8::1", false, false}, {"0.0.0.0", true, true},
        {"::", false, true},        {"127.0.0.2", true, true},     {"127.255.0.1", true, true},
        {"::1", false, true},       {"224.0.0.251", true, true},   {"255.255.255.255", true, true},
        {"ff02::fb", false, true},  {"10.0.0.1", true, false},     {"fe80::1", false, false},
    };
    for (const Row& row : rows) {
        auto ip = IpAddress::parse(row.text);
        ASSERT_TRUE(ip) << row.text;
        EXPECT_EQ(ip->text(), row.text);
        EXPECT_EQ(ip->isV4(), row.v4) << row.text;
        EXPECT_EQ(ip->isLocalOrSpecial(), row.special) << row.text;
    }
    for (const char* bad : {"", "1.2.3", "example.com", "1.2.3.4 ", "::g"})
        EXPECT_FALSE(IpAddress::parse(bad)) << bad;
}

// An IPv4 peer of an IPv6 socket is the same address as the IPv4 one.
TEST(IpAddress, MappedFormIsTheSameAddress) {
    EXPECT_EQ(IpAddress::parse("::ffff:192.0.2.1"), IpAddress::parse("192.0.2.1"));
    EXPECT_NE(IpAddress::parse("::192.0.2.1"), IpAddress::parse("192.0.2.1"));
}

}  // namespace
