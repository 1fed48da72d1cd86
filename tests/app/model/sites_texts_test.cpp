#include "app/model/sites_texts.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

// Typed text is quoted as shownEntry makes it safe: a direction mark cannot turn the
// sentence around.
TEST(SitesTexts, NotAnAddressQuotesTheEntrySafely) {
    EXPECT_EQ(notAnAddress("moc.elpmaxe\u202E"),
              "\u201Cmoc.elpmaxe\uFFFD\u201D is not an address Tarrow can block. Type it like "
              "example.com.");
}

TEST(SitesTexts, LockedBrowsersOneOrSeveral) {
    const std::string one =
        "The history of Firefox could not be read. Closing Firefox or fixing the permissions of "
        "its profile folder may help.";
    const std::string two =
        "The histories of Firefox and Chromium could not be read. Closing these browsers or "
        "fixing the permissions of their profile folders may help.";
    EXPECT_EQ(lockedInsteadOfList({"Firefox"}, Desktop::other).text, one);
    EXPECT_EQ(lockedUnderList({"Firefox"}, Desktop::other).text, one);
    EXPECT_EQ(lockedUnderList({"Firefox", "Chromium"}, Desktop::other).text, two);
}

TEST(ShownEntry, InvisibleAndLongTextIsMadeSafe) {
    struct Case {
        const char* name;
        std::string typed;
        std::string shown;
    };
    const std::string sixty(60, 'a');
    const Case cases[] = {
        {"non_ascii_kept", "b\u00FCcher", "b\u00FCcher"},
        {"tab_and_bell", "exa\tmple\a", "exa\uFFFDmple\uFFFD"},
        {"right_to_left_override", "a\u202Ebc", "a\uFFFDbc"},
        {"line_separator", "a\u2028b", "a\uFFFDb"},
        {"not_utf8", "caf\xE9", "caf\uFFFD"},
        {"exactly_sixty", sixty, sixty},
        {"sixty_one", sixty + "b", sixty + "\u2026"},
    };
    for (const Case& c : cases) EXPECT_EQ(shownEntry(c.typed), c.shown) << c.name;
}

}  // namespace
}  // namespace tarrow
