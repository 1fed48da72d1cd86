#include "helper/still_open.h"

#include <gtest/gtest.h>

#include "common/hosts_section.h"

using namespace tarrow;
using tarrow::platform::IpAddress;

namespace {

TEST(StillOpen, ReasonNamesTheLineThatWins) {
    const std::string section = hostsFile("", {"www.youtube.com", "youtube.com"});
    const std::vector<IpAddress> foreign{*IpAddress::parse("203.0.113.5")};
    struct Row {
        const char* what;
        std::string hosts;
        const char* name;
        std::string reason;
    };
    const std::string earlier = "an earlier line of /etc/hosts names it";
    const std::string resolver = "the system resolver answers 203.0.113.5 for it, not /etc/hosts";
    const Row rows[] = {
        {"earlier line", "203.0.113.5 www.youtube.com\n" + section, "www.youtube.com", earlier},
        {"tab, alias, upper case", "203.0.113.5\tyt WWW.YouTube.com\n" + section, "www.youtube.com",
         earlier},
        {"later foreign line", section + "203.0.113.5 youtube.com\n", "youtube.com",
         "a later line of /etc/hosts names it"},
        {"only in a comment", "# 203.0.113.5 www.youtube.com\n" + section, "www.youtube.com",
         resolver},
        {"comment after an address", "203.0.113.5 other.example # www.youtube.com\n" + section,
         "www.youtube.com", resolver},
        {"a longer name is another name", "203.0.113.5 www.youtube.com.evil\n" + section,
         "www.youtube.com", resolver},
        {"no line at all: another resolver answers", section, "youtube.com", resolver},
    };
    for (const Row& row : rows)
        EXPECT_EQ(stillOpenReason(row.hosts, row.name, foreign), row.reason) << row.what;
}

}  // namespace
