#include "app/model/uuid.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

TEST(Uuid, NewOnesAreCanonicalAndDistinct) {
    const std::string a = newUuid(), b = newUuid();
    EXPECT_NE(a, b);
    EXPECT_EQ(canonicalUuid(a), a);
    EXPECT_EQ(a.size(), 36u);
    EXPECT_EQ(a.find_first_of("abcdef"), std::string::npos);
}

}  // namespace
}  // namespace tarrow
