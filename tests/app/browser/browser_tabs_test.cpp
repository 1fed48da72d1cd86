#include "app/browser/browser_tabs.h"

#include <gtest/gtest.h>

#include <deque>

namespace tarrow {
namespace {

// No browser here can be scripted: every tab is left alone, nobody is asked, and nothing
// is logged, whatever the app asks for.
TEST(Tabs, WithoutScriptingEveryTabIsLeftAlone) {
    std::vector<std::string> logs;
    std::deque<std::function<void()>> queued;
    int pages = 0;
    const platform::Application chrome{"com.google.Chrome", "Google Chrome"};
    TabsNeeds needs;
    needs.now = [] { return std::chrono::steady_clock::time_point{}; };
    needs.log = [&](const std::string& line) { logs.push_back(line); };
    needs.frontApplication = [&] { return chrome; };
    needs.startPages = [] { return true; };
    needs.pageUrl = [&](const std::string&, const std::string&) {
        ++pages;
        return std::string("http://127.0.0.1:47110/blocked");
    };
    needs.inBackground = needs.onMain = [&](std::function<void()> job) { queued.push_back(job); };
    needs.refresh = needs.sweep = [] {};
    auto scripting = platform::systemBrowserScripting();
    EXPECT_FALSE(scripting->available());
    BrowserTabs tabs(*scripting, needs);
    const std::set<std::string> blocking = {"youtube.com", "www.youtube.com"};
    tabs.checkFrontTab(blocking, true);
    tabs.sweepTabs(blocking, true);
    tabs.askBrowsers();
    for (; !queued.empty(); queued.pop_front()) queued.front()();
    EXPECT_FALSE(tabs.frontTabPath(chrome));
    EXPECT_TRUE(tabs.refreshBrowsers().empty());
    EXPECT_EQ(pages, 0);
    EXPECT_TRUE(logs.empty());
}

}  // namespace
}  // namespace tarrow
