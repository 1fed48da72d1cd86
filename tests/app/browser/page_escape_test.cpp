#include <gtest/gtest.h>

#include "app/browser/page_escape.h"

namespace tarrow {
namespace {

struct Case {
    std::string in, out;
};

TEST(QueryEscape, KeepsAlphanumericsOfAnyScriptAndFourMarks) {
    const Case cases[] = {
        {"abc-._~XYZ019", "abc-._~XYZ019"},
        {"a b", "a%20b"},
        {"https://www.example.com/watch?v=1&x=2",
         "https%3A%2F%2Fwww.example.com%2Fwatch%3Fv%3D1%26x%3D2"},
        {"+/%#", "%2B%2F%25%23"},
        {"b\xC3\xBC"
         "cher",
         "b\xC3\xBC"
         "cher"},                                  // ü is a letter
        {"\xD9\xA3", "\xD9\xA3"},                  // Arabic-Indic digit three
        {"e\xCC\x81", "e\xCC\x81"},                // combining acute: a mark
        {"\xE2\x80\x93", "%E2%80%93"},             // en dash: punctuation
        {"\xF0\x9F\x98\x80", "%F0%9F%98%80"},      // emoji: not alphanumeric
        {"\xF0\x9D\x90\x80", "\xF0\x9D\x90\x80"},  // mathematical bold A: letter
        {"", ""},
        {"\xFF", ""},  // not UTF-8
        {std::string("a\0b", 3), "a%00b"},
    };
    for (const Case& c : cases) EXPECT_EQ(queryEscape(c.in), c.out) << c.in;
}

TEST(HtmlEscape, EscapesTheFiveCharactersAmpersandFirst) {
    const Case cases[] = {
        {"'", "&#39;"},
        {"<a href=\"x\">&amp;</a>", "&lt;a href=&quot;x&quot;&gt;&amp;amp;&lt;/a&gt;"},
        {"Tom's & Jerry's", "Tom&#39;s &amp; Jerry&#39;s"},
        {"plain", "plain"},
        {"&&", "&amp;&amp;"},
    };
    for (const Case& c : cases) EXPECT_EQ(htmlEscape(c.in), c.out) << c.in;
}

TEST(JsString, NeverClosesTheScriptElement) {
    const Case cases[] = {
        {"abc", "\"abc\""},
        {"", "\"\""},
        {"</script><script>alert(1)</script>", "\"<\\/script><script>alert(1)<\\/script>\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"line\nbreak", "\"line\\nbreak\""},
        {"https://x.test/</SCRIPT>", "\"https://x.test/<\\/SCRIPT>\""},
        {"\xFF\xFE", "\"\""},  // not UTF-8: the empty literal
        {"caf\xC3\xA9", "\"caf\xC3\xA9\""},
    };
    for (const Case& c : cases) {
        const std::string literal = jsString(c.in);
        EXPECT_EQ(literal, c.out) << c.in;
        EXPECT_EQ(literal.find("</"), std::string::npos);
    }
}

}  // namespace
}  // namespace tarrow
