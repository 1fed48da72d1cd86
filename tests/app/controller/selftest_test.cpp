// The check suite: how it reports, and the controller's own groups of checks.

#include "app/controller/selftest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>

namespace tarrow::app {
namespace {

std::string printed(const std::vector<Check>& checks, int* status) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* out = ::open_memstream(&buffer, &size);
    *status = runSelftest(checks, out);
    std::fclose(out);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

TEST(Selftest, OneFailingCheckIsNamedAndCounted) {
    int status = -1;
    std::string text = printed({{"first", true}, {"second", false}, {"third", true}}, &status);
    EXPECT_EQ(text, "ok    first\nFAIL  second\nok    third\n1 failed\n");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(printed({{"only", true}}, &status), "ok    only\nall passed\n");
    EXPECT_EQ(status, 0);
}

TEST(Selftest, TheControllersCheckGroupsPassWithDistinctLabels) {
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
