// Checks of the app's block page escaping and the history suggestion rules.

#include "app/browser/page_escape.h"
#include "app/browser/suggestion_domain.h"
#include "app/browser/suggestions.h"
#include "app/builtin_checks.h"

namespace tarrow::app {

namespace {

std::vector<Suggestion> ranked(const std::vector<VisitCount>& rows) {
    SiteCounts counts;
    counts.add(rows);
    return counts.ranked(suggestionLimit);
}

}  // namespace

std::vector<Check> browserChecks() {
    const std::string script = jsString("</script><script>alert(1)</script>");
    return {
        {"escape: query text", queryEscape("a b&c") == "a%20b%26c"},
        {"escape: HTML text and attributes",
         htmlEscape("<a href=\"x\">Tom's & co</a>") ==
             "&lt;a href=&quot;x&quot;&gt;Tom&#39;s &amp; co&lt;/a&gt;"},
        {"escape: a script string cannot close its script element",
         script.find("</") == std::string::npos && script.front() == '"' && script.back() == '"'},
        {"suggest: www and m forms count for the site",
         suggestionDomain("m.example.de") == "example.de" &&
             suggestionDomain("www.example.com") == "example.com" &&
             suggestionDomain("www.example.co.uk") == "example.co.uk"},
        {"suggest: work tools, addresses and protected names are never suggested",
         !suggestionDomain("calendar.example.com") && !suggestionDomain("jira.example.com") &&
             !suggestionDomain("mybank.example") && !suggestionDomain("192.168.1.1") &&
             !suggestionDomain("localhost")},
        {"suggest: ten visits make a suggestion, nine do not",
         ranked({{"https://a.example/", 10}, {"https://b.example/", 9}}) ==
             std::vector<Suggestion>{{"a.example", 10}}},
        {"suggest: visits of one site add up across its hosts",
         ranked({{"https://www.example.com/x", 4}, {"https://example.com/", 6}}) ==
             std::vector<Suggestion>{{"example.com", 10}}},
        {"suggest: equal counts are listed by name",
         ranked({{"https://b.example/", 12}, {"https://a.example/", 12}}) ==
             std::vector<Suggestion>{{"a.example", 12}, {"b.example", 12}}},
    };
}

}  // namespace tarrow::app
