#include "app/browser/browser_scripts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tarrow {
namespace {

const std::set<std::string> youtube = {"youtube.com", "www.youtube.com", "m.youtube.com",
                                       "youtu.be", "www.youtu.be"};

TEST(BlockedHost, OnlyTheExactHostOfAWebAddressCounts) {
    struct Case {
        std::string url;
        std::optional<std::string> host;
    };
    const Case cases[] = {
        {"https://www.youtube.com/watch?v=1", "www.youtube.com"},
        {"http://youtube.com", "youtube.com"},
        {"HTTPS://WWW.YOUTUBE.COM./watch", "www.youtube.com"},
        {"https://www.youtube.com:8443/", "www.youtube.com"},
        {"https://user:pw@youtu.be/x", "youtu.be"},
        {"https://music.youtube.com/", std::nullopt},  // another subdomain
        {"https://youtube.com.evil.test/", std::nullopt},
        {"https://www.google.com/search?q=youtube.com", std::nullopt},
        {"file:///home/me/youtube.com/index.html", std::nullopt},
        {"http://127.0.0.1:47110/blocked?site=youtube.com", std::nullopt},
        {"ftp://youtube.com/", std::nullopt},
        {"javascript:location='https://youtube.com'", std::nullopt},
        {"youtube.com", std::nullopt},  // no scheme
        {"https:///path", std::nullopt},
        {"", std::nullopt},
        {"https://youtube.com..", std::nullopt},  // only one final dot goes
        {"http://[::1]/", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(blockedHost(c.url, youtube), c.host) << c.url;
}

TEST(ScriptString, EscapesBackslashesThenQuotes) {
    EXPECT_EQ(scriptString("a\\b\"c"), "\"a\\\\b\\\"c\"");
    EXPECT_EQ(scriptString(""), "\"\"");
    EXPECT_EQ(scriptString("\\\""), "\"\\\\\\\"\"");
}

}  // namespace
}  // namespace tarrow
