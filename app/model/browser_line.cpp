#include "app/model/browser_line.h"

namespace tarrow {

namespace {

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) out += i + 1 == names.size() ? " and " : ", ";
        out += names[i];
    }
    return out;
}

bool any(const std::vector<BrowserState>& browsers, Consent consent) {
    for (const BrowserState& b : browsers)
        if (b.consent == consent) return true;
    return false;
}

}  // namespace

std::string browserLine(const std::vector<BrowserState>& browsers) {
    const std::pair<Consent, const char*> groups[] = {
        {Consent::granted, "allowed"},
        {Consent::notAsked, "not asked yet"},
        {Consent::denied,
         "not allowed \u2013 switch it on under Privacy & Security \u2192 Automation"},
        {Consent::notRunning, "asks when you open it"},
    };
    std::string line;
    for (const auto& [consent, label] : groups) {
        std::vector<std::string> names;
        for (const BrowserState& b : browsers)
            if (b.consent == consent) names.push_back(b.name);
        if (names.empty()) continue;
        if (!line.empty()) line += ' ';
        line += joined(names) + ": " + label + ".";
    }
    return line;
}

ConsentButton consentButton(const std::vector<BrowserState>& browsers) {
    if (any(browsers, Consent::denied)) return ConsentButton::openAutomationSettings;
    if (any(browsers, Consent::notAsked)) return ConsentButton::allow;
    return ConsentButton::none;
}

}  // namespace tarrow
