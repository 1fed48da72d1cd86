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
        {"&lt;", "&amp;lt;"},  // escaped once, ampersand first
        {"", ""},
        {std::nullopt, "This site"},
    };
    for (const auto& [host, name] : cases)
        EXPECT_EQ(heading(blockPage(host)), name + rest) << host.value_or("(none)");
}

TEST(BlockPage, FixedLines) {
    const std::string page = blockPage(std::string("example.com"));
    std::vector<std::string> lines;
    for (size_t start = 0;;) {
        size_t lf = page.find('\n', start);
        lines.push_back(
            page.substr(start, lf == std::string::npos ? std::string::npos : lf - start));
        if (lf == std::string::npos) break;
        start = lf + 1;
    }
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[0], "<!doctype html>");
    EXPECT_EQ(lines[2], "<title>Tarrow</title>");
    EXPECT_EQ(lines[13], "</style></head><body><main>");
    EXPECT_TRUE(
        lines[14].starts_with("<svg class=\"mark\" viewBox=\"0 0 18 18\" aria-hidden=\"true\">"));
    EXPECT_NE(lines[14].find("<mask id=\"c\">"), std::string::npos);
    EXPECT_NE(lines[14].find("<rect x=\"1.6\" y=\"8.05\" width=\"14.8\" height=\"1.9\" rx=\".95\" "
                             "fill=\"#FF5C93\"/>"),
              std::string::npos);
    EXPECT_EQ(lines[16],
              "<p><b>Tarrow is blocking this site</b>, because you asked it to, on this Mac.</p>");
    EXPECT_EQ(lines[17],
              "<p>To open it anyway, click the <b>t</b> in your menu bar and choose <b>Okay, "
              "Now</b>. That opens every site again.</p>");
    EXPECT_EQ(lines[18], "</main></body></html>");  // no line feed at the very end
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
