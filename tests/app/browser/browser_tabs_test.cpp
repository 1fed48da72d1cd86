// A blocked site's open tabs are turned to the page only in a scriptable browser that
// consented, only for the exact blocked host of a web address, and left alone otherwise.

#include "app/browser/browser_tabs.h"

#include <gtest/gtest.h>

#include <deque>

#include "app/browser/browser_scripts.h"

namespace tarrow {
namespace {

using platform::Application;

// A scripting backend whose browsers, consents and tabs are plain fields.
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
        if (script.find("set URL of t") != std::string::npos)
            return script.find(away) != std::string::npos ? "false" : "true";
        return std::nullopt;
    }
    std::vector<Application> runningApplications() override { return running; }
    std::optional<std::string> installedName(const std::string&) override { return {}; }

    std::map<std::string, int> status;
    std::vector<Application> running;
    std::optional<std::string> front, listing;
    std::string away = "navigated-away";  // a tab whose rewrite finds it gone
    std::vector<std::string> scripts;
};

const Application chrome{"com.google.Chrome", "Google Chrome"};
const Application editor{"org.gnome.TextEditor", "Text Editor"};
const std::set<std::string> blocking = {"youtube.com", "www.youtube.com", "youtu.be"};

struct Needs {
    std::vector<std::string> logs;
    std::optional<Application> frontApp = chrome;
    bool hasPort = true;
    std::chrono::steady_clock::time_point clock{};
    TabsNeeds operator()() {
        TabsNeeds n;
        n.now = [this] { return clock; };
        n.log = [this](const std::string& line) { logs.push_back(line); };
        n.frontApplication = [this] { return frontApp; };
        n.startPages = [this] { return hasPort; };
        n.pageUrl = [](const std::string& host, const std::string& back) {
            return "http://127.0.0.1:47110/blocked?site=" + host + "&back=" + back;
        };
        n.inBackground = n.onMain = [](std::function<void()> job) { job(); };
        n.refresh = n.sweep = [] {};
        return n;
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
        {.front = editor, .url = yt},
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
        fake.status = {{chrome.id, c.consent}, {editor.id, c.consent}};
        fake.front = c.url;
        Needs needs;
        needs.frontApp = c.front;
        needs.hasPort = c.port;
        BrowserTabs tabs(fake, needs());
        tabs.checkFrontTab(c.names, c.notice);
        std::vector<std::string> pages;
        for (const std::string& line : needs.logs)
            if (line.starts_with("page: ")) pages.push_back(line);
        EXPECT_EQ(pages, c.page ? std::vector<std::string>{std::string("page: ") + c.page +
                                                           " in Google Chrome"}
                                : std::vector<std::string>{})
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
    auto logged = [&](const char* line) {
        return std::count(needs.logs.begin(), needs.logs.end(), line);
    };
    EXPECT_EQ(logged("page: 2 open tabs in Google Chrome"), 1);
    fake.away = "youtube.com/a";
    tabs.sweepTabs(blocking, true);
    EXPECT_EQ(logged("page: 1 open tab in Google Chrome"), 1);
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
    EXPECT_EQ(scriptString("a\\b\"c"), "\"a\\\\b\\\"c\"");
}

// On Linux no browser can be scripted: nothing is asked, listed or turned.
TEST(BrowserTabs, WithoutScriptingEveryTabIsLeftAlone) {
    auto scripting = platform::systemBrowserScripting();
    EXPECT_FALSE(scripting->available());
    Needs needs;
    BrowserTabs tabs(*scripting, needs());
    tabs.checkFrontTab(blocking, true);
    tabs.sweepTabs(blocking, true);
    tabs.askBrowsers();
    EXPECT_FALSE(tabs.frontTabPath(chrome));
    EXPECT_TRUE(tabs.refreshBrowsers().empty());
    EXPECT_TRUE(needs.logs.empty());
}

}  // namespace
}  // namespace tarrow
