#include "app/model/browser_line.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

TEST(BrowserLine, OneSentencePerConsentGroupInFixedOrder) {
    using C = Consent;
    struct Case {
        std::vector<BrowserState> browsers;
        std::string line;
        ConsentButton button;
    };
    auto b = [](const char* name, Consent consent) { return BrowserState{name, name, consent}; };
    const Case cases[] = {
        {{}, "", ConsentButton::none},
        {{b("Arc", C::notRunning), b("Safari", C::granted), b("Chrome", C::granted)},
         "Safari and Chrome: allowed. Arc: asks when you open it.",
         ConsentButton::none},
        {{b("Chrome", C::notAsked), b("Brave", C::denied)},
         "Chrome: not asked yet. Brave: not allowed \u2013 switch it on under Privacy & Security "
         "\u2192 Automation.",
         ConsentButton::openAutomationSettings},
        {{b("Chrome", C::notAsked), b("Arc", C::notRunning)},
         "Chrome: not asked yet. Arc: asks when you open it.",
         ConsentButton::allow},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(browserLine(c.browsers), c.line);
        EXPECT_EQ(consentButton(c.browsers), c.button) << c.line;
    }
}

}  // namespace
}  // namespace tarrow
