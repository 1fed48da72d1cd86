#include "app/browser/browser_page.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(l[0], "<!doctype html>");
    EXPECT_EQ(l[2], "<title>Tarrow: YouTube</title>");
    EXPECT_EQ(l[27],
              "<h1><span class=\"site\">YouTube?</span><span class=\"now\">Tarrow</span>.</h1>");
    EXPECT_EQ(
        l[28],
        "<p class=\"lead\" id=\"line\"><b>Tarrow</b> keeps this site closed until 12:00.</p>");
    EXPECT_EQ(l[29],
              "<p class=\"how\" id=\"how\">To open it anyway, click the <b>t</b> in your panel "
              "and choose <b>Okay, Now</b>.</p>");
    EXPECT_EQ(l[30],
              "<p class=\"how\" id=\"open\" hidden><a href=\"https://youtube.com/\">Go to "
              "YouTube</a></p>");
    EXPECT_EQ(l[34], "const T = \"" + token + "\", BACK = \"https://youtube.com/\";");
    EXPECT_EQ(l[39], "    const r = await fetch('/status?t=' + T, {cache: 'no-store'});");
    EXPECT_EQ(l[46], "}, 2000);");
    EXPECT_EQ(l[48], "</body></html>");
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

TEST(BrowserPage, EscapesHostileNamesLinesAndBackAddresses) {
    struct Case {
        std::string name, line, back;
        std::vector<std::string> present, absent;
    };
    const Case cases[] = {
        {"<b>&\"Tom's\"",
         "until 12:00",
         "",
         {"<title>Tarrow: &lt;b&gt;&amp;&quot;Tom&#39;s&quot;</title>",
          "<span class=\"site\">&lt;b&gt;&amp;&quot;Tom&#39;s&quot;?</span>",
          ">Go to &lt;b&gt;&amp;&quot;Tom&#39;s&quot;</a>"},
         {"<b>&"}},
        {"x", "until <i>", "", {"closed until &lt;i&gt;.</p>"}, {"<i>"}},
        {"x",
         "y",
         "https://a.test/\"><script>alert(1)</script>",
         {"href=\"https://a.test/&quot;&gt;&lt;script&gt;alert(1)&lt;/script&gt;\"",
          "BACK = \"https://a.test/\\\"><script>alert(1)<\\/script>\";"},
         {"alert(1)</script>"}},
        {"x", "y", "", {"BACK = \"\";", "<a href=\"\">Go to x</a>"}, {}},
    };
    for (const Case& c : cases) {
        const std::string page = browserPage(c.name, c.line, c.back, token);
        for (const auto& s : c.present) EXPECT_NE(page.find(s), std::string::npos) << s;
        for (const auto& s : c.absent) EXPECT_EQ(page.find(s), std::string::npos) << s;
        // Only the page's own script element ends a script.
        size_t closes = 0;
        for (size_t at = page.find("</script>"); at != std::string::npos;
             at = page.find("</script>", at + 1)) {
            ++closes;
        }
        EXPECT_EQ(closes, 1u) << c.back;
    }
}

// Off macOS the page names this computer and the panel, never the Mac or its menu bar.
TEST(BrowserPage, NamesThisComputerAndThePanel) {
    const std::string page = browserPage("YouTube", "until 12:00", "https://youtube.com/", "t");
#ifdef __APPLE__
    EXPECT_NE(page.find("in your menu bar"), std::string::npos);
#else
    for (const char* mac : {" Mac", "menu bar"}) {
        EXPECT_EQ(page.find(mac), std::string::npos) << mac;
    }
    EXPECT_NE(page.find("closed on this computer. This page comes from Tarrow on this computer,"),
              std::string::npos);
    EXPECT_NE(page.find("// Once Okay, Now was chosen in the panel:"), std::string::npos);
#endif
}

}  // namespace
}  // namespace tarrow
