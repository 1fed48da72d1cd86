#include "app/browser/suggestion_loader.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>

#include "app/browser/suggest_report.h"
#include "tests/app/browser/history_fixture.h"

namespace tarrow {
namespace {

using namespace std::chrono_literals;

const Instant start = Instant(std::chrono::seconds(1'800'000'000));

// The app's threads stood in for by two queues that the test drains by hand.
struct Loop {
    std::deque<std::function<void()>> background, main;
    Instant now = start;
    int reads = 0;
    std::vector<std::string> logged;
    BrowsingSuggestions result{
        {{"example.com", 12}}, {"Chrome"}, 2, {"history not readable: Chrome: open: x (errno 13)"}};

    SuggestionLoading loading() {
        return {[this](std::function<void()> job) { background.push_back(std::move(job)); },
                [this](std::function<void()> job) { main.push_back(std::move(job)); },
                [this] { return now; },
                [this] {
                    ++reads;
                    return result;
                },
                [this](std::string_view line) { logged.emplace_back(line); }};
    }
    void drain() {
        while (!background.empty() || !main.empty()) {
            for (; !background.empty(); background.pop_front()) background.front()();
            for (; !main.empty(); main.pop_front()) main.front()();
        }
    }
};

TEST(SuggestionLoader, WhenALoadRuns) {
    struct Case {
        const char* name;
        bool readsHistory = true, suggest = true, suggesting = false;
        std::vector<std::string> locked = {};
        std::optional<std::chrono::seconds> age = {};  // since the last load
        bool force = false;
        bool runs = false;
    };
    std::vector<Case> cases = {
        {.name = "first load", .runs = true},
        {.name = "history not allowed", .readsHistory = false, .force = true, .runs = false},
        {.name = "suggestions switched off", .suggest = false, .force = true, .runs = false},
        {.name = "a load under way", .suggesting = true, .force = true, .runs = false},
        {.name = "forced a minute after", .age = 60s, .force = true, .runs = true},
        {.name = "a minute after, a browser locked",
         .locked = {"Safari"},
         .age = 60s,
         .runs = true},
        {.name = "just under ten minutes", .age = 599s, .runs = false},
        {.name = "ten minutes", .age = 600s, .runs = true},
        {.name = "stamped in the future", .age = -3600s, .runs = true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempHome folder;
        Store store(folder.path);
        store.readsHistory = c.readsHistory;
        Config config = store.config();
        config.suggest = c.suggest;
        store.setConfig(config);
        store.setSuggesting(c.suggesting);
        store.setLockedBrowsers(c.locked);
        if (c.age) store.suggestedAt = start - *c.age;
        EXPECT_EQ(suggestionsDue(store, c.force, start), c.runs);
    }
}

TEST(SuggestionLoader, AppliesTheResultOnTheMainThread) {
    test::TempHome folder;
    Store store(folder.path);
    store.readsHistory = true;
    Loop loop;
    installSuggestionLoader(store, loop.loading());

    store.loadSuggestions(false);
    EXPECT_TRUE(store.suggesting());
    store.loadSuggestions(true);  // one load at a time
    ASSERT_EQ(loop.background.size(), 1u);
    loop.background.front()();
    loop.background.pop_front();
    EXPECT_TRUE(store.suggestions().empty()) << "changed off the main thread";
    loop.drain();

    EXPECT_EQ(loop.reads, 1);
    EXPECT_FALSE(store.suggesting());
    EXPECT_EQ(store.suggestions(), (std::vector<Suggestion>{{"example.com", 12}}));
    EXPECT_EQ(store.lockedBrowsers(), std::vector<std::string>{"Chrome"});
    EXPECT_EQ(store.suggestedAt, start);
    EXPECT_EQ(loop.logged,
              (std::vector<std::string>{loop.result.problems[0], suggestLogLine(loop.result)}));

    // Chrome was locked, so the next call reads again; then the pause holds (when a load
    // is due is the table above).
    loop.result.locked.clear();
    for (int i = 0; i < 2; ++i) {
        store.loadSuggestions(false);
        loop.drain();
    }
    EXPECT_EQ(loop.reads, 2);
}

TEST(SuggestionLoader, AResultAfterTheStoreIsGoneIsDropped) {
    test::TempHome folder;
    Loop loop;
    {
        auto store = std::make_unique<Store>(folder.path);
        store->readsHistory = true;
        installSuggestionLoader(*store, loop.loading());
        store->loadSuggestions(false);
    }
    loop.drain();  // would touch the freed store
    EXPECT_EQ(loop.reads, 1);
    EXPECT_TRUE(loop.logged.empty());
}

}  // namespace
}  // namespace tarrow
