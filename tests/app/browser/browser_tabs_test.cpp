// Where a browser can be scripted, a blocked site's open tabs are turned to the page only
// in a browser that consented, only for the exact blocked host of a web address.

#include "app/browser/browser_tabs.h"

#include <gtest/gtest.h>

#include "app/browser/browser_scripts.h"
#include "app/browser/script_values.h"

namespace tarrow {
namespace {

using platform::Application;

// Browsers, consents and tabs as plain fields; a rewrite of a tab that has navigated away
// reports false.
class FakeScripting : public platform::BrowserScripting {
  public:
    bool available() const override { return true; }
    int automationConsent(const std::string& id, bool) override {
        return status.count(id) ? status[id] : -600;
    }
    std::optional<std::string> runScript(const std::string& script) override {
        scripts.push_back(script);
        if (script.find("every tab") != std::string::npos) return listing;
        if (script.find("return URL of") != std::string::npos) return front;
        return script.find(away) != std::string::npos ? "false" : "true";
    }
    std::vector<Application> runningApplications() override { return running; }
    std::optional<std::string> installedName(const std::string& id) override {
        return status.count(id) ? std::optional(id) : std::nullopt;
    }

    std::map<std::string, int> status;
    std::vector<Application> running;
    std::optional<std::string> front, listing;
    std::string away = "navigated-away";
    std::vector<std::string> scripts;
};

const Application chrome{"com.google.Chrome", "Google Chrome"};
const std::set<std::string> blocking = {"youtube.com", "www.youtube.com", "youtu.be"};

struct Needs {
    std::vector<std::string> logs;
    std::optional<Application> front = chrome;
    bool hasPort = true;
    TabsNeeds operator()() {
        return {[] { return std::chrono::steady_clock::time_point{}; },
                [this](const std::string& line) { logs.push_back(line); },
                [this] { return front; },
                [this] { return hasPort; },
                [](const std::string& host, const std::string&) { return "page/" + host; },
                [](std::function<void()> job) { job(); },
                [](std::function<void()> job) { job(); },
                [] {},
                [] {}};
    }
};

TEST(BrowserTabs, TheFrontTabIsTurnedOnlyWhenEverythingAgrees) {
    struct Case {
        std::optional<Application> front = chrome;
        int consent = 0;
        std::optional<std::string> url;  // as the script returns it
        std::set<std::string> names = blocking;
        bool notice = true, port = true;
        const char* page = nullptr;  // the host turned; null: none
    };
    const std::string yt = "\"https://www.youtube.com/watch?v=1\"";
    const Case cases[] = {
        {.url = yt, .page = "www.youtube.com"},
        {.url = "\"HTTPS://YouTu.be./x\"", .page = "youtu.be"},
        {.url = "\"https://user:pw@youtube.com:8443/\"", .page = "youtube.com"},
        {.url = yt, .names = {}},
        {.url = yt, .notice = false},
        {.consent = -1743, .url = yt},
        {.front = Application{"org.gnome.TextEditor", "Text Editor"}, .url = yt},
        {.front = std::nullopt, .url = yt},
        {.url = yt, .port = false},
        {.url = "\"https://www.youtube.com/navigated-away\""},
        {.url = "missing value"},
        {.url = "\"https://music.youtube.com/\""},
        {.url = "\"https://youtube.com.evil.test/\""},
        {.url = "\"http://127.0.0.1:47110/blocked?site=youtube.com\""},
        {.url = "\"javascript:location='https://youtube.com'\""},
    };
    for (const Case& c : cases) {
        FakeScripting fake;
        fake.status = {{chrome.id, c.consent}, {"org.gnome.TextEditor", c.consent}};
        fake.front = c.url;
        Needs needs{.logs = {}, .front = c.front, .hasPort = c.port};
        BrowserTabs(fake, needs()).checkFrontTab(c.names, c.notice);
        const std::string last = needs.logs.empty() ? "" : needs.logs.back();
        EXPECT_EQ(last.starts_with("page: ") ? last : "",
                  c.page ? std::string("page: ") + c.page + " in Google Chrome" : "")
            << c.url.value_or("none");
    }
}

TEST(BrowserTabs, TheSweepTurnsBlockedTabsOfEveryWindowOfConsentingBrowsers) {
    FakeScripting fake;
    Needs needs;
    const Application safari{"com.apple.Safari", "Safari"};
    fake.running = {chrome, safari};
    fake.status = {{chrome.id, 0}, {safari.id, -1744}};
    fake.listing =
        "{{\"https://example.com/\"}, {\"https://youtube.com/a\", \"https://www.youtube.com/b\", "
        "\"https://news.test/\"}, {\"file:///youtube.com\"}, missing value}";
    BrowserTabs tabs(fake, needs());
    tabs.sweepTabs(blocking, true);
    std::vector<std::string> turned;
    for (const std::string& s : fake.scripts) {
        EXPECT_EQ(s.find(safari.id), std::string::npos);  // no consent: never listed
        if (const auto at = s.find("set t to tab "); at != std::string::npos)
            turned.push_back(s.substr(at + 13, 13));
    }
    EXPECT_EQ(turned, (std::vector<std::string>{"1 of window 2", "2 of window 2"}));
    fake.away = "youtube.com/a";
    tabs.sweepTabs(blocking, true);
    fake.scripts.clear();
    needs.hasPort = false;  // nothing to turn them to
    tabs.sweepTabs(blocking, true);
    needs.hasPort = true;
    tabs.sweepTabs(blocking, false);
    tabs.sweepTabs({}, true);
    EXPECT_TRUE(fake.scripts.empty());
    for (const char* broken : {"{{\"a\"}", "\"a\"", "{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{"}) {
        fake.listing = broken;
        tabs.sweepTabs(blocking, true);
    }
    EXPECT_EQ(fake.scripts.size(), 3u);  // a listing each, nothing turned
    EXPECT_EQ(needs.logs,
              (std::vector<std::string>{
                  "browser com.google.Chrome: granted", "page: 2 open tabs in Google Chrome",
                  "browser com.apple.Safari: notAsked", "page: 1 open tab in Google Chrome"}));
    tabs.askBrowsers();  // Safari's consent is asked off the main thread
    EXPECT_EQ(needs.logs.back(), "browser com.apple.Safari: notAsked (asked)");
    EXPECT_EQ(tabs.refreshBrowsers().size(), 2u);
    fake.running = {chrome};  // Safari quit: its last answer stays
    fake.status[chrome.id] = -600;
    EXPECT_EQ(tabs.refreshBrowsers(),
              (std::vector<BrowserState>{{safari.id, safari.id, Consent::notAsked},
                                         {chrome.id, chrome.id, Consent::notRunning}}));
    EXPECT_EQ(needs.logs.back(), "browser com.google.Chrome: notRunning");
    EXPECT_EQ(scriptString("a\\b\"c"), "\"a\\\\b\\\"c\"");
    // Results read back: escapes, a cut text, an empty list, a word with spaces after it.
    EXPECT_EQ(scriptText(R"("a\nb\tc\rd\\")"), "a\nb\tc\rd\\");
    for (const char* cut : {R"("a\)", "\"cut"}) EXPECT_EQ(scriptText(cut), std::nullopt);
    EXPECT_EQ(scriptLists("{{}, {missing value }}"),
              (std::vector<std::vector<std::string>>{{}, {""}}));
}

}  // namespace
}  // namespace tarrow
