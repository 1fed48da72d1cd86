#include "app/browser/browser_page.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

// Off macOS the page names this computer and the panel, never the Mac or its menu bar.
TEST(BrowserPage, NamesThisComputerAndThePanel) {
    const std::string page = browserPage("YouTube", "until 12:00", "https://youtube.com/", "t");
#ifdef __APPLE__
    EXPECT_NE(page.find("in your menu bar"), std::string::npos);
#else
    for (const char* mac : {" Mac", "menu bar"}) {
        EXPECT_EQ(page.find(mac), std::string::npos) << mac;
    }
    EXPECT_NE(page.find("</b> in your panel and choose"), std::string::npos);
    EXPECT_NE(page.find("closed on this computer. This page comes from Tarrow on this computer,"),
              std::string::npos);
    EXPECT_NE(page.find("// Once Okay, Now was chosen in the panel:"), std::string::npos);
#endif
}

}  // namespace
}  // namespace tarrow
