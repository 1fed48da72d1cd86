// What "--render" reads before drawing: the size, the instant, and the demonstration
// flags that fill the store.

#include "app/controller/render_setup.h"

#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::app {
namespace {

using test::TempFolder;

Instant at(const char* iso) {
    return *parseIso(iso);
}

TEST(RenderSize, TwoWholeNumbersAboveZeroOrTheDefault) {
    struct Case {
        const char* text;  // nullptr: the variable is not set
        RenderSize size;
    };
    // The command-line test runs the bad sizes of the manual through the program; these
    // are the finer points.
    const Case cases[] = {
        {nullptr, {580, 440}},
        {"800x600", {800, 600}},
        {"0x440", {580, 440}},
        {"99999999999999999999x440", {580, 440}},  // too large for a number
        {"300x200", {300, 240}},
        {"4000x300", {2048, 300}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(renderSize(c.text), c.size) << (c.text ? c.text : "(unset)");
    }
}

TEST(RenderDemo, FlagsAnywhereOnTheCommandLine) {
    const RenderDemo none = renderDemo({"--render", "out"});
    EXPECT_FALSE(none.working || none.locked || none.suggestions);
    const RenderDemo all =
        renderDemo({"--demo-suggestions", "--render", "out", "--working", "--demo-locked"});
    EXPECT_TRUE(all.working && all.locked && all.suggestions);
    const RenderDemo wrong = renderDemo({"--render", "out", "--Working", "-demo-locked"});
    EXPECT_FALSE(wrong.working || wrong.locked || wrong.suggestions);
}

const char* const otherBrowser = "Firefox";

TEST(PrepareForRender, FlagsFillTheStore) {
    struct Case {
        const char* name;
        RenderDemo demo;
        Helper helper;
        bool demonstration;
        std::vector<std::string> locked;
        size_t suggestions;
    };
    const Case cases[] = {
        {"plain", {}, Helper::missing, false, {}, 0},
        {"working", {true, false, false}, Helper::working, false, {}, 0},
        {"locked", {false, true, false}, Helper::missing, true, {"Chrome", otherBrowser}, 0},
        {"suggestions", {false, false, true}, Helper::missing, true, {otherBrowser}, 5},
        {"all", {true, true, true}, Helper::working, true, {otherBrowser}, 5},
    };
    const Instant now = at("2026-10-23T07:00:00Z");
    const Calendar calendar("Europe/Berlin", "en_GB");
    for (const Case& c : cases) {
        TempFolder scratch;
        Store store(scratch.path);
        prepareForRender(store, c.demo, now, calendar);
        EXPECT_EQ(store.helper(), c.helper) << c.name;
        EXPECT_EQ(store.demo, c.demonstration) << c.name;
        EXPECT_EQ(store.readsHistory, c.demonstration) << c.name;
        EXPECT_EQ(store.suggestedAt, c.demonstration ? std::optional(now) : std::nullopt) << c.name;
        EXPECT_EQ(store.lockedBrowsers(), c.locked) << c.name;
        EXPECT_EQ(store.suggestions().size(), c.suggestions) << c.name;
    }
}

// Pictures never show a real site as one the user visits.
TEST(PrepareForRender, DemonstrationSuggestionsAreExampleDomains) {
    for (const Suggestion& s : demoSuggestions()) {
        EXPECT_TRUE(s.domain.ends_with(".example.com") || s.domain.ends_with(".example.org") ||
                    s.domain.ends_with(".example.net"))
            << s.domain;
    }
}

}  // namespace
}  // namespace tarrow::app
