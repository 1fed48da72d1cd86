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

// The helper's own page speaks of this computer and the panel.
TEST(MachineText, HelperPageNamesThisMachine) {
    const std::string page = blockPage(std::string("example.com"));
    EXPECT_NE(page.find("on this computer.</p>"), std::string::npos);
    EXPECT_NE(page.find("in your panel and choose"), std::string::npos);
}

}  // namespace
}  // namespace tarrow
