// The block page names the site without its www. or m., escaped, and speaks of this
// computer. (The page as the browser shows it: the page scripts.)

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
    }
}

}  // namespace
}  // namespace tarrow
