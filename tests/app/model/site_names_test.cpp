#include "app/model/site_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "app/model/config.h"
#include "app/model/presets.h"
#include "common/hosts_section.h"

namespace tarrow {
namespace {

struct NormalizeCase {
    const char* name;
    const char* typed;
    std::optional<std::string> stored;
};

class Normalize : public testing::TestWithParam<NormalizeCase> {};

TEST_P(Normalize, GivesTheStoredDomain) {
    EXPECT_EQ(normalize(GetParam().typed), GetParam().stored) << GetParam().typed;
}

const std::nullopt_t none = std::nullopt;

const NormalizeCase normalizeCases[] = {
    {"pasted_url", "https://www.Example.com/watch?v=1", "example.com"},
    {"port_slash_spaces", "  example.com:8080/ \n", "example.com"},
    {"user_password_in_url", "ftp://a:b@c@Example.org:21/x", "example.org"},
    {"trailing_dots", "example.com..", "example.com"},
    {"wildcard", "*.example.com", "example.com"},
    {"www_removed_once", "www.www.example.com", "www.example.com"},
    {"everything_before_scheme_dropped", "view-source:https://example.com", "example.com"},
    {"tabs_and_unicode_spaces", "\t\u00A0example.com\u3000", "example.com"},
    {"word_without_dot", "localhost", none},
    {"empty", "", none},
    {"ipv4", "192.168.0.1", none},
    {"ipv6_literal", "[2001:db8::1]", none},
    {"idn_to_punycode", "https://www.Bücher.de/", "xn--bcher-kva.de"},
    {"punycode_kept", "xn--bcher-kva.de", "xn--bcher-kva.de"},
    {"bytes_not_utf8", "caf\xE9.de", none},
};

INSTANTIATE_TEST_SUITE_P(Typed, Normalize, testing::ValuesIn(normalizeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Normalize, ResultIsAlwaysValidAndNeverWildcard) {
    const char* inputs[] = {"*.*.example.com", "www.*.example.com", "*.www.www.a.b", "..a.b",
                            "a.b:"};
    for (const char* in : inputs) {
        auto out = normalize(in);
        if (!out) continue;
        EXPECT_TRUE(validHost(*out)) << in;
        EXPECT_NE(out->substr(0, 2), "*.") << in;
    }
}

TEST(HostNames, ExpandTheFixedFormsAndAliases) {
    EXPECT_EQ(hostNames("youtube.com"),
              (std::vector<std::string>{"youtube.com", "www.youtube.com", "m.youtube.com",
                                        "youtu.be", "www.youtu.be"}));
    EXPECT_EQ(hostNames("example.org"),
              (std::vector<std::string>{"example.org", "www.example.org", "m.example.org"}));
    // Either name of the renamed site covers both.
    auto x = hostNames("x.com"), twitter = hostNames("twitter.com");
    for (const char* name : {"x.com", "www.x.com", "twitter.com", "www.twitter.com", "mobile.x.com",
                             "mobile.twitter.com"}) {
        EXPECT_EQ(std::count(x.begin(), x.end(), name), 1) << name;
        EXPECT_EQ(std::count(twitter.begin(), twitter.end(), name), 1) << name;
    }
}

TEST(HostNames, LongDomainLosesTheFormsThatDoNotFit) {
    // 61 + 63 + 63 + 59 characters of labels, four dots and "de": 252 characters.
    const std::string label61(61, 'a'), label63(63, 'b'), label59(59, 'c');
    const std::string domain = label61 + "." + label63 + "." + label63 + "." + label59 + ".de";
    ASSERT_EQ(domain.size(), 252u);
    EXPECT_EQ(hostNames(domain), std::vector<std::string>{domain});
    EXPECT_TRUE(hostNames("not a domain").empty());
}

// Each listed name lands on every configured site that blocks it, in the site's own
// order of names; what no site blocks is dropped.
TEST(OpenNamesBySite, FollowTheSitesHostNames) {
    const std::vector<Site> sites = {Site::named("youtube.com"), Site::named("x.com"),
                                     Site::named("twitter.com"), Site::named("example.org", false)};
    struct Case {
        const char* what;
        StillOpen open;
        SiteOpenNames bySite;
    };
    const Case cases[] = {
        {"nothing listed", {}, {}},
        {"an alias, in the order of the site's names",
         {{"youtu.be", "r1"}, {"www.youtube.com", "r2"}},
         {{"youtube.com", {{"www.youtube.com", "r2"}, {"youtu.be", "r1"}}}}},
        {"a name two sites share is open for both",
         {{"twitter.com", "r"}},
         {{"x.com", {{"twitter.com", "r"}}}, {"twitter.com", {{"twitter.com", "r"}}}}},
        {"a switched-off site is still a configured site",
         {{"m.example.org", "r"}},
         {{"example.org", {{"m.example.org", "r"}}}}},
        {"no site blocks it", {{"other.example", "r"}, {"youtube.co", "r"}}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(openNamesBySite(sites, c.open), c.bySite) << c.what;
}

TEST(Aliases, EveryEntryIsAValidHost) {
    for (const auto& [domain, extra] : aliases()) {
        EXPECT_TRUE(validHost(domain)) << domain;
        for (const std::string& name : extra) EXPECT_TRUE(validHost(name)) << name;
    }
}

TEST(SiteName, IsThePresetNameOnlyForExactDomains) {
    EXPECT_EQ(siteName("youtube.com"), "YouTube");
    EXPECT_EQ(siteName("news.google.com"), "Google News");
    EXPECT_EQ(siteName("www.youtube.com"), "www.youtube.com");
    EXPECT_EQ(siteName("example.com"), "example.com");
}

}  // namespace
}  // namespace tarrow
