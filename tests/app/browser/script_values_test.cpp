#include "app/browser/script_values.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

TEST(ScriptValues, ReadsSourceFormResults) {
    EXPECT_EQ(scriptText("\"https://a.test/?q=\\\"x\\\"\""), "https://a.test/?q=\"x\"");
    EXPECT_EQ(scriptText("\"a\\\\b\"\n"), "a\\b");
    EXPECT_EQ(scriptText("missing value"), std::nullopt);
    EXPECT_EQ(scriptText("\"unterminated"), std::nullopt);
    EXPECT_EQ(scriptText(""), std::nullopt);
    EXPECT_EQ(scriptBool("true"), true);
    EXPECT_EQ(scriptBool("false\n"), false);
    EXPECT_EQ(scriptBool("\"true\""), std::nullopt);
    using Lists = std::vector<std::vector<std::string>>;
    EXPECT_EQ(scriptLists("{{\"a\", \"b\"}, {}, {\"c\"}}"), (Lists{{"a", "b"}, {}, {"c"}}));
    EXPECT_EQ(scriptLists("{}"), Lists{});
    EXPECT_EQ(scriptLists("{{\"a,}\"}, missing value}"), (Lists{{"a,}"}, {}}));
    EXPECT_EQ(scriptLists("{{\"a\"}"), std::nullopt);
    EXPECT_EQ(scriptLists("\"a\""), std::nullopt);
    EXPECT_EQ(scriptLists(std::string(100, '{') + std::string(100, '}')), std::nullopt);
}

}  // namespace
}  // namespace tarrow
