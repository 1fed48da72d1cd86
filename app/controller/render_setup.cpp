#include "app/controller/render_setup.h"

#include <algorithm>
#include <charconv>

#include "app/model/evaluation.h"
#include "app/model/texts.h"

namespace tarrow::app {

namespace {

// A whole number of digits only; none for anything else (signs, fractions, blanks, a
// number too large for a long).
std::optional<long> wholeNumber(std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc()) return std::nullopt;
    return value;
}

int within(long side) {
    return int(std::clamp<long>(side, smallestRenderSide, largestRenderSide));
}

}  // namespace

RenderSize renderSize(const char* text) {
    if (!text) return defaultRenderSize;
    const std::string_view all(text);
    const size_t x = all.find('x');
    if (x == std::string_view::npos) return defaultRenderSize;
    const auto width = wholeNumber(all.substr(0, x));
    const auto height = wholeNumber(all.substr(x + 1));  // a second "x" makes it no number
    if (!width || !height || *width <= 0 || *height <= 0) return defaultRenderSize;
    return {within(*width), within(*height)};
}

Instant renderInstant(const char* text, Instant now) {
    if (!text) return now;
    return parseIso(text).value_or(now);
}

RenderDemo renderDemo(const std::vector<std::string>& args) {
    auto has = [&args](std::string_view flag) {
        return std::find(args.begin(), args.end(), flag) != args.end();
    };
    return {has("--working"), has("--demo-locked"), has("--demo-suggestions")};
}

std::vector<Suggestion> demoSuggestions() {
    return {{"video.example.com", 412},
            {"news.example.org", 120},
            {"forum.example.net", 96},
            {"shop.example.com", 51},
            {"games.example.org", 23}};
}

void prepareForRender(Store& store, const RenderDemo& demo, Instant now, const Calendar& calendar) {
    if (demo.working) store.setHelper(Helper::working);
        // The Mac's second browser is Safari; here, without Safari, Firefox stands in.
#ifdef __APPLE__
    const std::string other = "Safari";
#else
    const std::string other = "Firefox";
#endif
    if (demo.locked || demo.suggestions) {
        store.readsHistory = true;
        store.demo = true;
        store.suggestedAt = now;
    }
    if (demo.locked) store.setLockedBrowsers({"Chrome", other});
    if (demo.suggestions) {
        store.setLockedBrowsers({other});
        store.setSuggestions(demoSuggestions());
    }
    store.setStatus(statusLine(evaluate(store.config(), now, calendar), now, calendar));
}

}  // namespace tarrow::app
