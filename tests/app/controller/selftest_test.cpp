// The check suite: how it reports, and the controller's own groups of checks.

#include "app/controller/selftest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>

namespace tarrow::app {
namespace {

TEST(Selftest, OneFailingCheckIsNamedAndCountedAndTheOwnGroupsPass) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* out = ::open_memstream(&buffer, &size);
    EXPECT_EQ(runSelftest({{"first", true}}, out), 0);
    EXPECT_EQ(runSelftest({{"first", true}, {"second", false}}, out), 1);
    std::fclose(out);
    EXPECT_EQ(std::string(buffer, size),
              "ok    first\nall passed\nok    first\nFAIL  second\n1 failed\n");
    std::free(buffer);
    std::set<std::string> labels;
    for (auto group : {hostsChecks, sharedChecks, modelChecks}) {
        for (const Check& check : group()) {
            EXPECT_TRUE(check.ok) << check.label;
            EXPECT_TRUE(labels.insert(check.label).second) << "twice: " << check.label;
        }
    }
    EXPECT_GE(labels.size(), 30u);
}

}  // namespace
}  // namespace tarrow::app
