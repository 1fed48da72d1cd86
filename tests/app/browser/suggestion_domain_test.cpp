#include "app/browser/suggestion_domain.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

TEST(SuggestionDomain, SiteOfAHost) {
    struct Case {
        std::string host;
        std::optional<std::string> site;
    };
    std::vector<Case> cases = {
        // mobile and www hosts count for the site
        {"www.example.com", "example.com"},
        {"mobile.example.com", "example.com"},
        {"EXAMPLE.COM.", "example.com"},
        {"www.com", "www.com"},               // two labels keep their prefix
        {"www.m.example.com", std::nullopt},  // one prefix at most
        // popular sites: short links, aliases and known subdomains
        {"youtu.be", "youtube.com"},
        {"www.youtu.be", "youtube.com"},
        {"news.google.com", "news.google.com"},
        // country endings and country subdomains
        {"www.example.co.uk", "example.co.uk"},
        {"shop.example.co.uk", std::nullopt},
        {"de.example.com", "de.example.com"},
        {"projects.example.de", std::nullopt},
        // work, mail, search and login
        {"calendar.example.com", std::nullopt},
        {"bankofexample.com", std::nullopt},
        {"google.co.uk", std::nullopt},
        {"google.com.br", std::nullopt},
        {"www.bing.com", std::nullopt},
        {"googleblog.com", "googleblog.com"},
        {"google.science", "google.science"},  // not a short ending
        {"google.com.bra", std::nullopt},      // three labels of an unknown site
        // names that are no sites
        {"192.168.1.1", std::nullopt},
        {"localhost", std::nullopt},
        {"swscan.apple.com", std::nullopt},
        {"under_score.com", std::nullopt},
        {"example.com..", std::nullopt},
        {"xn--bcher-kva.de", "xn--bcher-kva.de"},
    };
    for (const Case& c : cases) EXPECT_EQ(suggestionDomain(c.host), c.site) << c.host;
}

}  // namespace
}  // namespace tarrow
