// The block page names the site without its www. or m., escaped, speaks of this computer
// and shows the way to the app's menu with and without a tray. (The page as the browser
// shows it: the page scripts.)

#include "common/block_page.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

TEST(BlockPage, NamesTheSiteEscaped) {
    for (const auto& [host, name] :
         {std::pair{"www.m.example.com", "example.com"}, std::pair{"<x>&\"", "&lt;x>&amp;\""}}) {
        const std::string page = blockPage(std::string(host));
        EXPECT_NE(page.find(std::string("<h1>") + name + "?<br>"), std::string::npos) << name;
        EXPECT_NE(page.find("on this computer.</p>"), std::string::npos);
        EXPECT_NE(page.find("from the applications menu"), std::string::npos) << "no tray";
    }
}

}  // namespace
}  // namespace tarrow
