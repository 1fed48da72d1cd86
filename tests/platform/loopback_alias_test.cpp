#include "platform/loopback_alias.h"

#include <gtest/gtest.h>

namespace tarrow::platform {
namespace {

TEST(ListsAddress, Cases) {
    const std::string listing =
        "lo0: flags=8049<UP,LOOPBACK,RUNNING,MULTICAST> mtu 16384\n"
        "\tinet 127.0.0.1 netmask 0xff000000\n"
        "\tinet 127.0.0.2 netmask 0xffffffff\n";
    const std::vector<std::tuple<std::string, std::string, bool>> cases = {
        {listing, "127.0.0.2", true},
        {listing, "127.0.0.20", false},
        {"\tinet 127.0.0.22 netmask 0xffffffff\n", "127.0.0.2", false},
        {"", "127.0.0.2", false},
        {"\tinet 127.0.0.2 \xff\n", "127.0.0.2", false},  // undecodable output counts as empty
    };
    for (const auto& [text, address, expected] : cases)
        EXPECT_EQ(listsAddress(text, address), expected) << address << " in " << text;
}

}  // namespace
}  // namespace tarrow::platform
