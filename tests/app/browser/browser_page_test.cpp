#include "app/browser/browser_page.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "common/block_page.h"

namespace tarrow {
namespace {

std::vector<std::string> lines(const std::string& page) {
    std::vector<std::string> out;
    size_t start = 0;
    while (true) {
        size_t end = page.find('\n', start);
        out.push_back(page.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) return out;
        start = end + 1;
    }
}

const std::string token = "0123abcd4567ef890123abcd4567ef89";

TEST(BrowserPage, HasFortyNineLinesWithoutAFinalLineFeed) {
    const std::string page = browserPage("YouTube", "until 12:00", "https://youtube.com/", token);
    const auto l = lines(page);
    ASSERT_EQ(l.size(), 49u);
    EXPECT_NE(page.back(), '\n');
    const std::map<size_t, std::string> expected = {
        {0, "<!doctype html>"},
        {2, "<title>Tarrow: YouTube</title>"},
        {27, "<h1><span class=\"site\">YouTube?</span><span class=\"now\">Tarrow</span>.</h1>"},
        {28, "<p class=\"lead\" id=\"line\"><b>Tarrow</b> keeps this site closed until 12:00.</p>"},
        {29,
         "<p class=\"how\" id=\"how\">To open it anyway, click the <b>t</b> in your panel "
         "and choose <b>Okay, Now</b>.</p>"},
        {30,
         "<p class=\"how\" id=\"open\" hidden><a href=\"https://youtube.com/\">Go to "
         "YouTube</a></p>"},
        {34, "const T = \"" + token + "\", BACK = \"https://youtube.com/\";"},
        {39, "    const r = await fetch('/status?t=' + T, {cache: 'no-store'});"},
        {46, "}, 2000);"},
        {48, "</body></html>"},
    };
    for (const auto& [at, line] : expected) EXPECT_EQ(l[at], line) << at;
}

TEST(BrowserPage, CarriesTheHelperPagesEmblem) {
    const std::string helper = blockPage(std::nullopt);
    const size_t begin = helper.find("<svg class=\"mark\"");
    const size_t end = helper.find("</svg>");
    ASSERT_NE(begin, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    const auto l = lines(browserPage("x", "y", "", token));
    EXPECT_EQ(l[26], helper.substr(begin, end + 6 - begin));
}

// Each of the three texts goes through its own escaping (whose rules are page_escape's).
TEST(BrowserPage, EscapesHostileNamesLinesAndBackAddresses) {
    const std::string page = browserPage("<b>&\"Tom's\"", "until <i>",
                                         "https://a.test/\"><script>alert(1)</script>", token);
    for (const char* s : {"<title>Tarrow: &lt;b&gt;&amp;&quot;Tom&#39;s&quot;</title>",
                          "closed until &lt;i&gt;.</p>",
                          "href=\"https://a.test/&quot;&gt;&lt;script&gt;alert(1)&lt;/script&gt;\"",
                          "BACK = \"https://a.test/\\\"><script>alert(1)<\\/script>\";"})
        EXPECT_NE(page.find(s), std::string::npos) << s;
    for (const char* s : {"<b>&", "<i>", "alert(1)</script>"})
        EXPECT_EQ(page.find(s), std::string::npos) << s;
}

// Off macOS every machine word of the page is this computer's (the wordings are the
// model's test).
TEST(BrowserPage, NamesThisComputerAndThePanel) {
    const std::string page = browserPage("YouTube", "until 12:00", "https://youtube.com/", "t");
    const bool mac =
        page.find(" Mac") != std::string::npos || page.find("menu bar") != std::string::npos;
#ifdef __APPLE__
    EXPECT_TRUE(mac);
#else
    EXPECT_FALSE(mac) << page;
#endif
}

}  // namespace
}  // namespace tarrow
