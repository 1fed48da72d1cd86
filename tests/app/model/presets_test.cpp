#include "app/model/presets.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    auto listed = [](bool german, const std::string& domain) {
        const auto rows = presetsFor(german);
        return std::any_of(rows.begin(), rows.end(),
                           [&](const Preset& p) { return p.domain == domain; });
    };
    EXPECT_TRUE(listed(true, "amazon.de") && !listed(true, "amazon.com"));
    EXPECT_TRUE(listed(false, "amazon.com") && !listed(false, "amazon.de"));
}

}  // namespace
}  // namespace tarrow
