#include "app/browser/browser_tabs.h"

#include "app/browser/browser_scripts.h"
#include "app/browser/script_values.h"

namespace tarrow {

using platform::Application;

Consent consentForStatus(int status) {
    switch (status) {
        case 0:
            return Consent::granted;
        case -600:
            return Consent::notRunning;  // the application is not running
        case -1743:
            return Consent::denied;  // the user said no
        default:
            return Consent::notAsked;  // -1744 (would have to ask) and the rest
    }
}

const char* consentName(Consent consent) {
    switch (consent) {
        case Consent::granted:
            return "granted";
        case Consent::denied:
            return "denied";
        case Consent::notAsked:
            return "notAsked";
        case Consent::notRunning:
            return "notRunning";
    }
    return "notAsked";
}

BrowserTabs::BrowserTabs(platform::BrowserScripting& scripting, TabsNeeds needs)
    : scripting_(scripting), needs_(std::move(needs)) {}

Consent BrowserTabs::consentFor(const std::string& id, bool fresh) {
    const auto now = needs_.now();
    auto cached = consent_.find(id);
    if (!fresh && cached != consent_.end() && now - cached->second.at < consentLifetime) {
        return cached->second.consent;
    }
    const Consent c = consentForStatus(scripting_.automationConsent(id, false));
    if (cached == consent_.end() || cached->second.consent != c) {
        needs_.log("browser " + id + ": " + consentName(c));
    }
    consent_[id] = Checked{c, now};
    return c;
}

void BrowserTabs::askBrowsers() {
    if (asking_ || !scripting_.available()) return;
    std::set<std::string> ask;  // ascending, as the questions are put
    for (const Application& app : scripting_.runningApplications()) {
        if (scriptableBrowsers().count(app.id) == 0) continue;
        if (consentFor(app.id, true) == Consent::notAsked) ask.insert(app.id);
    }
    if (ask.empty()) {
        needs_.refresh();
        return;
    }
    asking_ = true;
    std::weak_ptr<int> alive = alive_;
    needs_.inBackground([this, alive, ask] {
        std::map<std::string, Consent> answers;
        for (const std::string& id : ask)
            answers[id] = consentForStatus(scripting_.automationConsent(id, true));
        needs_.onMain([this, alive, answers] {
            if (alive.expired()) return;
            asking_ = false;
            for (const auto& [id, answer] : answers) {
                consent_[id] = Checked{answer, needs_.now()};
                needs_.log("browser " + id + ": " + consentName(answer) + " (asked)");
            }
            needs_.refresh();
            needs_.sweep();
        });
    });
}

std::vector<BrowserState> BrowserTabs::refreshBrowsers() {
    std::vector<BrowserState> list;
    if (!scripting_.available()) return list;
    std::set<std::string> running;
    for (const Application& app : scripting_.runningApplications()) running.insert(app.id);
    for (const auto& [id, tab] : scriptableBrowsers()) {
        const auto name = scripting_.installedName(id);
        if (!name) continue;
        Consent consent = Consent::notRunning;
        if (running.count(id)) {
            consent = consentFor(id, true);
        } else if (auto cached = consent_.find(id); cached != consent_.end()) {
            consent = cached->second.consent;
        }
        list.push_back(BrowserState{id, *name, consent});
    }
    return list;
}

bool BrowserTabs::frontTabPath(const std::optional<Application>& front) {
    if (!scripting_.available() || !front) return false;
    return scriptableBrowsers().count(front->id) &&
           consentFor(front->id, false) == Consent::granted;
}

std::string BrowserTabs::shownName(const Application& app) const {
    return app.name.empty() ? app.id : app.name;
}

void BrowserTabs::checkFrontTab(const std::set<std::string>& blockingNames, bool notice) {
    if (blockingNames.empty() || !notice || !scripting_.available()) return;
    const auto front = needs_.frontApplication();
    if (!frontTabPath(front)) return;
    const std::string& tab = scriptableBrowsers().at(front->id);
    auto script = frontScripts_.find(front->id);
    if (script == frontScripts_.end()) {
        script = frontScripts_.emplace(front->id, readFrontTabScript(front->id, tab)).first;
    }
    const auto result = scripting_.runScript(script->second);
    const auto url = result ? scriptText(*result) : std::nullopt;
    if (!url) return;
    const auto host = blockedHost(*url, blockingNames);
    if (!host || !needs_.startPages()) return;
    const std::string page = needs_.pageUrl(*host, *url);
    const auto done = scripting_.runScript(rewriteFrontTabScript(front->id, tab, *url, page));
    if (done && scriptBool(*done) == true) {
        needs_.log("page: " + *host + " in " + shownName(*front));
    }
}

void BrowserTabs::sweepTabs(const std::set<std::string>& blockingNames, bool notice) {
    if (blockingNames.empty() || !notice || !scripting_.available()) return;
    for (const Application& app : scripting_.runningApplications()) {
        if (scriptableBrowsers().count(app.id) == 0) continue;
        if (consentFor(app.id, true) != Consent::granted) continue;
        if (!needs_.startPages()) continue;
        const auto result = scripting_.runScript(listAllTabsScript(app.id));
        const auto windows = result ? scriptLists(*result) : std::nullopt;
        if (!windows) continue;
        int count = 0;
        for (size_t w = 0; w < windows->size(); ++w) {
            const auto& tabs = (*windows)[w];
            for (size_t t = 0; t < tabs.size(); ++t) {
                const auto host = blockedHost(tabs[t], blockingNames);
                if (!host) continue;
                const auto done = scripting_.runScript(rewriteOneTabScript(
                    app.id, int(w + 1), int(t + 1), tabs[t], needs_.pageUrl(*host, tabs[t])));
                if (done && scriptBool(*done) == true) ++count;
            }
        }
        if (count >= 1) {
            needs_.log("page: " + std::to_string(count) + " open tab" + (count == 1 ? "" : "s") +
                       " in " + shownName(app));
        }
    }
}

}  // namespace tarrow
