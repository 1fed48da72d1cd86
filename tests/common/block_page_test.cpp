#include "common/block_page.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

std::string heading(const std::string& page) {
    size_t start = page.find("<h1>");
    size_t end = page.find("</h1>");
    return start == std::string::npos || end == std::string::npos
               ? ""
               : page.substr(start + 4, end - start - 4);
}

TEST(BlockPage, Heading) {
    const std::string rest = "?<br><span class=\"now\">Tarrow</span>.";
    const std::vector<std::pair<std::optional<std::string>, std::string>> cases = {
        {"www.example.com", "example.com"},
        {"m.example.com", "example.com"},
        {"www.m.example.com", "example.com"},  // www. first, then m.
        {"m.www.example.com", "www.example.com"},
        {"<x>", "&lt;x>"},
        {"a&b\"c'", "a&amp;b\"c'"},
        {"", ""},
        {std::nullopt, "This site"},
    };
    for (const auto& [host, name] : cases)
        EXPECT_EQ(heading(blockPage(host)), name + rest) << host.value_or("(none)");
}

TEST(BlockAnswer, HeadAndLength) {
    const std::string answer = blockAnswer(std::string("example.com"));
    const size_t split = answer.find("\r\n\r\n");
    ASSERT_NE(split, std::string::npos);
    const std::string body = answer.substr(split + 4);
    EXPECT_EQ(body, blockPage(std::string("example.com")));
    EXPECT_EQ(
        answer.substr(0, split + 4),
        "HTTP/1.1 403 Forbidden\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
            std::to_string(body.size()) +
            "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n");
}

}  // namespace
}  // namespace tarrow
