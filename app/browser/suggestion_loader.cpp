#include "app/browser/suggestion_loader.h"

#include <memory>

#include "app/browser/suggest_report.h"

namespace tarrow {

namespace {

// What the store's loader owns. Posted results reach the store only through a weak
// reference to it, so a read that outlives the store changes nothing.
struct LoaderState {
    Store* store = nullptr;
    SuggestionLoading loading;
};

void apply(LoaderState& state, const BrowsingSuggestions& result) {
    Store& store = *state.store;
    store.setSuggestions(result.list);
    store.setLockedBrowsers(result.locked);
    store.setSuggesting(false);
    store.suggestedAt = state.loading.now();
    if (state.loading.log) {
        for (const std::string& problem : result.problems) state.loading.log(problem);
        state.loading.log(suggestLogLine(result));
    }
}

void load(const std::shared_ptr<LoaderState>& state, bool force) {
    Store& store = *state->store;
    if (!suggestionsDue(store, force, state->loading.now())) return;
    store.setSuggesting(true);
    std::weak_ptr<LoaderState> weak = state;
    auto read = state->loading.read;
    auto post = state->loading.post;
    state->loading.background([weak, read, post] {
        auto result = std::make_shared<BrowsingSuggestions>(read());
        post([weak, result] {
            if (auto alive = weak.lock()) apply(*alive, *result);
        });
    });
}

}  // namespace

bool suggestionsDue(const Store& store, bool force, Instant now) {
    if (!store.readsHistory || !store.config().suggest || store.suggesting()) return false;
    if (force || !store.lockedBrowsers().empty() || !store.suggestedAt) return true;
    auto age = now - *store.suggestedAt;
    // A load stamped in the future (the clock was set back) is stale, not fresh.
    return age >= suggestionPause || age < std::chrono::seconds(0);
}

void installSuggestionLoader(Store& store, SuggestionLoading loading) {
    if (!loading.now)
        loading.now = [] {
            return std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
        };
    if (!loading.read) loading.read = [] { return browsingSuggestions(); };
    auto state = std::make_shared<LoaderState>(LoaderState{&store, std::move(loading)});
    store.suggestionLoader = [state](Store&, bool force) { load(state, force); };
}

}  // namespace tarrow
