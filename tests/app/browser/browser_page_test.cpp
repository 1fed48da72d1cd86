#include "app/browser/browser_page.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

// Each of the three texts goes through its own escaping (whose rules are page_escape's).
TEST(BrowserPage, EscapesHostileNamesLinesAndBackAddresses) {
    const std::string page = browserPage("<b>&\"Tom's\"", "until <i>",
                                         "https://a.test/\"><script>alert(1)</script>", "t");
    for (const char* s : {"<title>Tarrow: &lt;b&gt;&amp;&quot;Tom&#39;s&quot;</title>",
                          "closed until &lt;i&gt;.</p>",
                          "href=\"https://a.test/&quot;&gt;&lt;script&gt;alert(1)&lt;/script&gt;\"",
                          "BACK = \"https://a.test/\\\"><script>alert(1)<\\/script>\";"})
        EXPECT_NE(page.find(s), std::string::npos) << s;
    for (const char* s : {"<b>&", "<i>", "alert(1)</script>"})
        EXPECT_EQ(page.find(s), std::string::npos) << s;
}

// The machine words reach the page as this computer's (the wordings are the model's test).
TEST(BrowserPage, NamesThisComputerAndThePanel) {
    const std::string page = browserPage("YouTube", "until 12:00", "https://youtube.com/", "t");
    EXPECT_NE(page.find("in your panel"), std::string::npos) << page;
    EXPECT_EQ(page.find(" Mac"), std::string::npos) << page;
}

}  // namespace
}  // namespace tarrow
