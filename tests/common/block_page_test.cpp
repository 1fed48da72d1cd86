// The block page names the site without its www. or m., escaped, and speaks of this
// computer and the panel.

#include "common/block_page.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

TEST(BlockPage, NamesTheSiteEscaped) {
    const std::pair<std::optional<std::string>, std::string> cases[] = {
        {"www.m.example.com", "example.com"},
        {"m.www.example.com", "www.example.com"},
        {"<x>&\"", "&lt;x>&amp;\""},
        {std::nullopt, "This site"},
    };
    for (const auto& [host, name] : cases) {
        const std::string page = blockPage(host);
        EXPECT_NE(page.find("<h1>" + name + "?<br><span class=\"now\">Tarrow</span>.</h1>"),
                  std::string::npos)
            << name;
        EXPECT_TRUE(page.find("on this computer.</p>") != std::string::npos &&
                    page.find("in your panel and choose") != std::string::npos);
    }
}

}  // namespace
}  // namespace tarrow
