#pragma once
// What "--render" takes from its surroundings before it draws anything: the size of the
// settings views, the instant of the status line, and the flags that fill the store
// with a demonstration.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/model/calendar.h"
#include "app/model/instant.h"
#include "app/model/store.h"
#include "app/model/suggestion.h"

namespace tarrow::app {

struct RenderSize {
    int width = 0, height = 0;  // points
    friend bool operator==(const RenderSize&, const RenderSize&) = default;
};

inline constexpr RenderSize defaultRenderSize{580, 440};
// Every side is kept within these, so that no size can make the pictures unreadable
// or their buffers huge (one point is one pixel of 4 bytes: the largest picture is 16 MB).
inline constexpr int smallestRenderSide = 240;
inline constexpr int largestRenderSide = 2048;

// TARROW_RENDER_SIZE as "<width>x<height>" in whole points. Absent, not exactly two
// whole numbers, or a side of 0 or less: the default. Otherwise each side is brought
// within the smallest and the largest side.
RenderSize renderSize(const char* text);

// TARROW_NOW when it is an ISO 8601 instant, else `now`.
Instant renderInstant(const char* text, Instant now);

// The flags after "--render <folder>" (anywhere on the command line) that prepare the
// store.
struct RenderDemo {
    bool working = false;      // "--working": the helper works
    bool locked = false;       // "--demo-locked": every browser's history is locked
    bool suggestions = false;  // "--demo-suggestions": five suggestions, one browser locked
};
RenderDemo renderDemo(const std::vector<std::string>& args);

// The five made-up suggestions of the demonstration, most visited first.
std::vector<Suggestion> demoSuggestions();

// Prepares the store as the flags say, and sets its status line for `now`.
void prepareForRender(Store& store, const RenderDemo& demo, Instant now, const Calendar& calendar);

}  // namespace tarrow::app
