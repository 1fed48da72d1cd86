#include <gtest/gtest.h>

#include <deque>

#include "app/browser/browser_scripts.h"
#include "app/browser/browser_tabs.h"

namespace tarrow {
namespace {

using platform::Application;

// A scripting backend whose browsers, consents and tabs are plain fields.
class FakeScripting : public platform::BrowserScripting {
  public:
    bool available() const override { return true; }
    int automationConsent(const std::string& id, bool ask) override {
        (ask ? asked : checked).push_back(id);
        if (ask && answers.count(id)) status[id] = answers[id];
        return status.count(id) ? status[id] : -600;
    }
    std::optional<std::string> runScript(const std::string& script) override {
        scripts.push_back(script);
        if (script.find("every tab") != std::string::npos) return listing;
        if (script.find("return URL of") != std::string::npos) return front;
        if (script.find("set URL of t") != std::string::npos) {
            for (const auto& url : navigatedAway) {
                if (script.find(scriptString(url)) != std::string::npos) return "false";
            }
            return "true";
        }
        return std::nullopt;
    }
    std::vector<Application> runningApplications() override { return running; }
    std::optional<std::string> installedName(const std::string& id) override {
        if (!installed.count(id)) return std::nullopt;
        return installed[id];
    }

    std::map<std::string, int> status, answers;
    std::vector<Application> running;
    std::map<std::string, std::string> installed;
    std::optional<std::string> front, listing;
    std::vector<std::string> navigatedAway;
    std::vector<std::string> checked, asked, scripts;
};

const Application chrome{"com.google.Chrome", "Google Chrome"};
const Application safari{"com.apple.Safari", "Safari"};
const Application editor{"org.gnome.TextEditor", "Text Editor"};
const std::set<std::string> blocking = {"youtube.com", "www.youtube.com"};

class Tabs : public ::testing::Test {
  protected:
    Tabs() : tabs(fake, needs()) {}

    TabsNeeds needs() {
        TabsNeeds n;
        n.now = [this] { return clock; };
        n.log = [this](const std::string& line) { logs.push_back(line); };
        n.frontApplication = [this] { return frontApp; };
        n.startPages = [this] { return hasPort; };
        n.pageUrl = [](const std::string& host, const std::string& back) {
            return "http://127.0.0.1:47110/blocked?site=" + host + "&back=" + back;
        };
        n.inBackground = [this](std::function<void()> job) { background.push_back(job); };
        n.onMain = [this](std::function<void()> job) { main.push_back(job); };
        n.refresh = [this] { ++refreshes; };
        n.sweep = [this] { ++sweeps; };
        return n;
    }

    void runQueued() {
        while (!background.empty() || !main.empty()) {
            auto& queue = background.empty() ? main : background;
            auto job = queue.front();
            queue.pop_front();
            job();
        }
    }

    FakeScripting fake;
    std::chrono::steady_clock::time_point clock{};
    std::vector<std::string> logs;
    std::optional<Application> frontApp;
    bool hasPort = true;
    std::deque<std::function<void()>> background, main;
    int refreshes = 0, sweeps = 0;
    BrowserTabs tabs;
};

TEST(ConsentStatus, MapsSystemCodes) {
    struct Case {
        int status;
        Consent consent;
        const char* name;
    };
    const Case cases[] = {{0, Consent::granted, "granted"},
                          {-600, Consent::notRunning, "notRunning"},
                          {-1743, Consent::denied, "denied"},
                          {-50, Consent::notAsked, "notAsked"}};  // any other code
    for (const Case& c : cases) {
        EXPECT_EQ(consentForStatus(c.status), c.consent);
        EXPECT_STREQ(consentName(c.consent), c.name);
    }
}

TEST_F(Tabs, ConsentIsCachedForThirtySecondsAndLoggedOnChange) {
    fake.status[chrome.id] = 0;
    EXPECT_EQ(tabs.consentFor(chrome.id, false), Consent::granted);
    fake.status[chrome.id] = -1743;
    clock += std::chrono::seconds(29);
    EXPECT_EQ(tabs.consentFor(chrome.id, false), Consent::granted);  // cached
    EXPECT_EQ(fake.checked.size(), 1u);
    clock += std::chrono::seconds(2);
    EXPECT_EQ(tabs.consentFor(chrome.id, false), Consent::denied);
    EXPECT_EQ(tabs.consentFor(chrome.id, true), Consent::denied);  // fresh: checked, same
    EXPECT_EQ(fake.checked.size(), 3u);
    EXPECT_EQ(logs, (std::vector<std::string>{"browser com.google.Chrome: granted",
                                              "browser com.google.Chrome: denied"}));
}

TEST_F(Tabs, AsksOnlyRunningBrowsersNeverAskedAndOnlyOnceAtATime) {
    fake.running = {chrome, safari, editor};
    fake.status = {{chrome.id, -1744}, {safari.id, -1743}};
    fake.answers = {{chrome.id, 0}};
    tabs.askBrowsers();
    tabs.askBrowsers();  // while the dialog is open
    EXPECT_TRUE(tabs.asking());
    EXPECT_EQ(background.size(), 1u);
    runQueued();
    EXPECT_FALSE(tabs.asking());
    EXPECT_EQ(fake.asked, std::vector<std::string>{chrome.id});  // denied is never asked
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(sweeps, 1);
    EXPECT_EQ(logs.back(), "browser com.google.Chrome: granted (asked)");
    // Asked once: now granted, so a second switch-on asks nobody.
    tabs.askBrowsers();
    EXPECT_TRUE(background.empty());
    EXPECT_EQ(refreshes, 2);
    EXPECT_EQ(fake.asked.size(), 1u);
}

TEST_F(Tabs, RefreshListsInstalledBrowsersInIdentifierOrder) {
    fake.installed = {{chrome.id, "Google Chrome"},
                      {safari.id, "Safari"},
                      {"com.brave.Browser", "Brave Browser"}};
    fake.running = {chrome};
    fake.status = {{chrome.id, 0}, {safari.id, -1743}};
    tabs.consentFor(safari.id, true);  // seen earlier in this run
    const auto list = tabs.refreshBrowsers();
    EXPECT_EQ(list, (std::vector<BrowserState>{
                        {"com.apple.Safari", "Safari", Consent::denied},
                        {"com.brave.Browser", "Brave Browser", Consent::notRunning},
                        {"com.google.Chrome", "Google Chrome", Consent::granted}}));
}

TEST_F(Tabs, FrontTabIsRewrittenOnlyWhenEverythingAgrees) {
    struct Case {
        const char* what;
        std::optional<Application> front;
        int consent;
        std::optional<std::string> url;
        std::set<std::string> names;
        bool notice, port;
        bool navigated;
        const char* page;  // the log line; null: no page
    };
    const std::string yt = "https://www.youtube.com/watch?v=1";
    const char* logged = "page: www.youtube.com in Google Chrome";
    const Case cases[] = {
        {"blocked tab", chrome, 0, yt, blocking, true, true, false, logged},
        {"nothing blocked", chrome, 0, yt, {}, true, true, false, nullptr},
        {"notice off", chrome, 0, yt, blocking, false, true, false, nullptr},
        {"no consent", chrome, -1743, yt, blocking, true, true, false, nullptr},
        {"not a browser", editor, 0, yt, blocking, true, true, false, nullptr},
        {"no front app", std::nullopt, 0, yt, blocking, true, true, false, nullptr},
        {"other site", chrome, 0, "https://example.com/", blocking, true, true, false, nullptr},
        {"no answer", chrome, 0, std::nullopt, blocking, true, true, false, nullptr},
        {"no port", chrome, 0, yt, blocking, true, false, false, nullptr},
        {"navigated away", chrome, 0, yt, blocking, true, true, true, nullptr},
    };
    for (const Case& c : cases) {
        FakeScripting local;
        local.status[chrome.id] = c.consent;
        local.status[editor.id] = c.consent;
        if (c.url) local.front = scriptString(*c.url);
        if (c.navigated) local.navigatedAway = {*c.url};
        logs.clear();
        frontApp = c.front;
        hasPort = c.port;
        BrowserTabs t(local, needs());
        t.checkFrontTab(c.names, c.notice);
        std::vector<std::string> pages;
        for (const auto& l : logs) {
            if (l.starts_with("page: ")) pages.push_back(l);
        }
        EXPECT_EQ(pages, c.page ? std::vector<std::string>{c.page} : std::vector<std::string>{})
            << c.what;
        const bool rewrote = !local.scripts.empty() &&
                             local.scripts.back().find("set URL of t") != std::string::npos;
        EXPECT_EQ(rewrote, c.page || c.navigated) << c.what;
        if (rewrote) {
            EXPECT_NE(local.scripts.back().find(
                          "http://127.0.0.1:47110/blocked?site=www.youtube.com&back=" + yt),
                      std::string::npos);
        }
    }
}

TEST_F(Tabs, SweepRewritesBlockedTabsOfEveryWindowAndCountsThem) {
    fake.running = {chrome, safari};
    fake.status = {{chrome.id, 0}, {safari.id, -1744}};
    fake.listing =
        "{{\"https://example.com/\"}, {\"https://youtube.com/a\", \"https://www.youtube.com/b\", "
        "\"https://news.test/\"}, {\"file:///youtube.com\"}}";
    tabs.sweepTabs(blocking, true);
    std::vector<std::string> rewrites;
    for (const auto& s : fake.scripts) {
        if (s.find("set t to tab") != std::string::npos) rewrites.push_back(s.substr(0, 120));
    }
    ASSERT_EQ(rewrites.size(), 2u);
    EXPECT_NE(rewrites[0].find("set t to tab 1 of window 2"), std::string::npos);
    EXPECT_NE(rewrites[1].find("set t to tab 2 of window 2"), std::string::npos);
    EXPECT_NE(std::find(logs.begin(), logs.end(), "page: 2 open tabs in Google Chrome"),
              logs.end());
    // Safari has no consent: never listed.
    for (const auto& s : fake.scripts) EXPECT_EQ(s.find("com.apple.Safari"), std::string::npos);

    logs.clear();
    fake.navigatedAway = {"https://youtube.com/a"};
    tabs.sweepTabs(blocking, true);
    EXPECT_EQ(logs, std::vector<std::string>{"page: 1 open tab in Google Chrome"});
}

TEST_F(Tabs, SweepSkipsBrowsersWhenNothingCanBeDone) {
    fake.running = {chrome};
    fake.status = {{chrome.id, 0}};
    fake.listing = "{{\"https://youtube.com/\"}}";
    hasPort = false;
    tabs.sweepTabs(blocking, true);
    EXPECT_TRUE(fake.scripts.empty());
    hasPort = true;
    tabs.sweepTabs(blocking, false);
    tabs.sweepTabs({}, true);
    EXPECT_TRUE(fake.scripts.empty());
    fake.listing.reset();  // the listing fails
    tabs.sweepTabs(blocking, true);
    EXPECT_EQ(fake.scripts.size(), 1u);
}

TEST_F(Tabs, WithoutScriptingEveryTabIsLeftAlone) {
    auto scripting = platform::systemBrowserScripting();
    EXPECT_FALSE(scripting->available());
    frontApp = chrome;
    BrowserTabs t(*scripting, needs());
    t.checkFrontTab(blocking, true);
    t.sweepTabs(blocking, true);
    t.askBrowsers();
    runQueued();
    EXPECT_FALSE(t.frontTabPath(chrome));
    EXPECT_TRUE(t.refreshBrowsers().empty());
    EXPECT_TRUE(logs.empty());
}

}  // namespace
}  // namespace tarrow
