#include "app/model/site_lines.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

TEST(Detail, DomainOfNamedSitesAndTheirAliases) {
    struct Case {
        const char* domain;
        std::optional<std::string> detail;
    };
    const Case cases[] = {
        {"youtube.com", "youtube.com \u00B7 also youtu.be"},
        // mobile. and www. forms are the usual addresses, not worth a mention
        {"x.com", "x.com \u00B7 also twitter.com"},
        {"twitter.com", "also x.com"},  // no display name of its own
        {"reddit.com", "reddit.com \u00B7 also old.reddit.com, new.reddit.com, redd.it"},
        {"example.com", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(detail(c.domain), c.detail) << c.domain;
}

// The first open name of a site ends its line, named only when it is not the domain.
TEST(Detail, WhyTheSiteStillOpens) {
    const std::string later = "a later line of /etc/hosts names it";
    const std::string resolver = "the system resolver answers 203.0.113.5 for it, not /etc/hosts";
    struct Case {
        const char* domain;
        int weekTries;
        std::vector<OpenName> open;
        std::optional<std::string> detail;
    };
    const Case cases[] = {
        {"example.com", 0, {{"example.com", later}}, "still opens: " + later},
        {"example.com",
         0,
         {{"www.example.com", resolver}},
         "still opens: www.example.com \u2013 " + resolver},
        {"youtube.com",
         14,
         {{"www.youtube.com", later}, {"youtu.be", resolver}},
         "youtube.com \u00B7 also youtu.be \u00B7 tried 14 times this week \u00B7 still opens: "
         "www.youtube.com \u2013 " +
             later},
        {"example.com", 1, {}, "tried once this week"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(detail(c.domain, c.weekTries, "en_US", c.open), c.detail) << c.domain;
}

TEST(VisitsLine, CountInTheLocaleAndThePopularKind) {
    struct Case {
        const char* domain;
        int64_t visits;
        const char* locale;
        const char* line;
    };
    const Case cases[] = {
        {"example.org", 12, "en_US", "12 visits"},
        {"youtube.com", 40, "en_US", "youtube.com \u00B7 40 visits \u00B7 Video"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(visitsLine({c.domain, c.visits}, c.locale), c.line) << c.domain << c.locale;
}

TEST(ListJoined, Prose) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(listJoined(Names{}), "");
    EXPECT_EQ(listJoined(Names{"Firefox"}), "Firefox");
    EXPECT_EQ(listJoined(Names{"Firefox", "Chrome"}), "Firefox and Chrome");
    EXPECT_EQ(listJoined(Names{"Firefox", "Chrome", "Brave"}), "Firefox, Chrome and Brave");
}

}  // namespace
}  // namespace tarrow
