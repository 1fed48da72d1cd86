#include "common/machine_text.h"

#include <gtest/gtest.h>

#include "common/block_page.h"

namespace tarrow {
namespace {

TEST(MachineText, FillsEveryMarkOfEachName) {
    const MachineText text{"{a} and {a}, {b}", "{b}{b} {a}"};
    EXPECT_EQ(machineText(text, {{"a", "{a}x"}, {"b", ""}}, Desktop::mac), "{a}x and {a}x, ");
    EXPECT_EQ(machineText(text, {{"a", "1"}, {"b", "22"}}, Desktop::other), "2222 1");
    EXPECT_EQ(machineText(text, {}, Desktop::other), "{b}{b} {a}");
}

// The helper's own page speaks of this computer and the panel except on macOS, where it
// keeps its words.
TEST(MachineText, HelperPageNamesThisMachine) {
    const std::string page = blockPage(std::string("example.com"));
#ifdef __APPLE__
    EXPECT_NE(page.find("on this Mac."), std::string::npos);
    EXPECT_NE(page.find("in your menu bar and choose"), std::string::npos);
#else
    EXPECT_NE(page.find("because you asked it to, on this computer.</p>"), std::string::npos);
    EXPECT_NE(page.find("click the <b>t</b> in your panel and choose <b>Okay, Now</b>. That "
                        "opens every site again.</p>"),
              std::string::npos);
    for (const char* word : {"this Mac", "your Mac", "menu bar"})
        EXPECT_EQ(page.find(word), std::string::npos) << word;
#endif
}

}  // namespace
}  // namespace tarrow
