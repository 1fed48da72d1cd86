#pragma once
// Refreshing the store's suggestions from the browsing history without holding up the
// main thread: the read runs in the background, its result is applied on the main thread.

#include <chrono>
#include <functional>

#include "app/browser/suggestions.h"
#include "app/model/instant.h"
#include "app/model/log_fn.h"
#include "app/model/store.h"

namespace tarrow {

// A load is not repeated within this time, unless forced or a browser was locked.
inline constexpr std::chrono::seconds suggestionPause{600};

struct SuggestionLoading {
    // Runs a job on some other thread.
    std::function<void(std::function<void()>)> background;
    // Runs a job on the main thread, later; callable from any thread.
    std::function<void(std::function<void()>)> post;
    // Defaults: the system clock, and every history of the user's home folder.
    std::function<Instant()> now;
    std::function<BrowsingSuggestions()> read;
    LogFn log;
};

// Installs `Store::loadSuggestions`. A result that arrives after the store is gone is
// dropped.
void installSuggestionLoader(Store& store, SuggestionLoading loading);

// Whether a load asked for now runs (the store's gate and the ten-minute rule).
bool suggestionsDue(const Store& store, bool force, Instant now);

}  // namespace tarrow
