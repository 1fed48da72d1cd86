#include "common/spaces.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

TEST(TrimSpaces, Cases) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"  a  ", "a"},
        {"\ta\t", "a"},
        {"\xe2\x80\x80x\xe2\x80\x8a", "x"},  // en quad, hair space
        {"\xe2\x80\x8bx", "\xe2\x80\x8bx"},  // zero-width space is not Zs
        {"\xe1\x9a\x80y\xe2\x81\x9f", "y"},  // ogham space mark, medium math space
        {"", ""},
        {"   ", ""},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(trimSpaces(in), out) << in;
}

}  // namespace
}  // namespace tarrow
