#include "app/model/presets.h"

#include <gtest/gtest.h>

#include <set>

#include "app/model/site_names.h"
#include "common/hosts_section.h"

namespace tarrow {
namespace {

TEST(Presets, TableKeepsItsInvariants) {
    for (bool german : {false, true}) {
        const auto rows = presetsFor(german);
        std::set<std::string> domains;
        size_t kindIndex = 0;
        for (const Preset& p : rows) {
            EXPECT_TRUE(validHost(p.domain)) << p.domain;
            EXPECT_FALSE(isProtected(p.domain)) << p.domain;
            EXPECT_TRUE(domains.insert(p.domain).second) << "twice: " << p.domain;
            // Groups come in display order, each in one run.
            while (kindIndex < presetKinds.size() && presetKinds[kindIndex] != p.kind) ++kindIndex;
            EXPECT_LT(kindIndex, presetKinds.size()) << p.name << " kind " << p.kind;
        }
    }
}

TEST(Presets, GermanRegionsGetGermanShops) {
    const std::pair<const char*, bool> regions[] = {{"DE", true},  {"AT", true},  {"CH", true},
                                                    {"US", false}, {"GB", false}, {"", false},
                                                    {"de", false}};
    for (auto [region, german] : regions) EXPECT_EQ(germanShopsFor(region), german) << region;
    auto amazon = [](bool german) { return presetsFor(german)[33]; };
    EXPECT_EQ(amazon(true).name, "Amazon");
    EXPECT_EQ(amazon(true).domain, "amazon.de");
    EXPECT_EQ(amazon(false).domain, "amazon.com");
    EXPECT_EQ(presetsFor(true)[34].domain, "ebay.de");
    EXPECT_EQ(presetsFor(false)[34].domain, "ebay.com");
}

}  // namespace
}  // namespace tarrow
