#include "app/model/sites_texts.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

TEST(SitesTexts, PlaceholderAndKindHeadings) {
    EXPECT_EQ(addPlaceholder(), "Add a site, like reddit.com");
    EXPECT_EQ(popularTitle("Social media"), "Popular: social media");
}

// Each desktop as the user reads it; the one in use is chosen when the app is built.
TEST(SitesTexts, MacAndComputerWordings) {
    EXPECT_EQ(
        historyFootnote(Desktop::mac),
        "From this Mac\u2019s browsing history. Read when Sites opens, not stored, not sent.");
    EXPECT_EQ(historyFootnote(Desktop::other),
              "From this computer\u2019s browsing history. Read when Sites opens, not stored, "
              "not sent.");
    EXPECT_EQ(neverBlocks("apple.com", Desktop::mac),
              "Tarrow never blocks apple.com: your Mac needs it for updates, iCloud or the local "
              "network.");
    EXPECT_EQ(neverBlocks("apple.com", Desktop::other),
              "Tarrow never blocks apple.com: this computer needs it for updates or the local "
              "network.");
}

// Typed text is quoted as shownEntry makes it safe: a direction mark cannot turn the
// sentence around.
TEST(SitesTexts, NotAnAddressQuotesTheEntrySafely) {
    EXPECT_EQ(notAnAddress("you tube"),
              "\u201Cyou tube\u201D is not an address Tarrow can block. Type it like example.com.");
    EXPECT_EQ(notAnAddress("moc.elpmaxe\u202E"),
              "\u201Cmoc.elpmaxe\uFFFD\u201D is not an address Tarrow can block. Type it like "
              "example.com.");
}

TEST(SitesTexts, LockedBrowsers) {
    struct Case {
        std::vector<std::string> browsers;
        Desktop desktop;
        bool instead;  // no suggestions at all
        LockedNote note;
    };
    const std::string linuxOne =
        "The history of Firefox could not be read. Closing Firefox or fixing the permissions of "
        "its profile folder may help.";
    const std::string linuxTwo =
        "The histories of Firefox and Chromium could not be read. Closing these browsers or "
        "fixing the permissions of their profile folders may help.";
    const Case cases[] = {
        {{"Safari"},
         Desktop::mac,
         true,
         {"macOS keeps your browsing history behind Full Disk Access. Add Tarrow there, and this "
          "list fills with the sites you visit most.",
          "Open Full Disk Access\u2026"}},
        {{"Safari"},
         Desktop::mac,
         false,
         {"Safari needs Full Disk Access.", "Open Settings\u2026"}},
        {{"Safari", "Chrome"},
         Desktop::mac,
         false,
         {"Safari and Chrome need Full Disk Access.", "Open Settings\u2026"}},
        {{"Firefox"}, Desktop::other, true, {linuxOne, ""}},
        {{"Firefox"}, Desktop::other, false, {linuxOne, ""}},
        {{"Firefox", "Chromium"}, Desktop::other, false, {linuxTwo, ""}},
    };
    for (const Case& c : cases) {
        LockedNote note = c.instead ? lockedInsteadOfList(c.browsers, c.desktop)
                                    : lockedUnderList(c.browsers, c.desktop);
        EXPECT_EQ(note.text, c.note.text);
        EXPECT_EQ(note.button, c.note.button);
    }
}

TEST(ShownEntry, InvisibleAndLongTextIsMadeSafe) {
    struct Case {
        const char* name;
        std::string typed;
        std::string shown;
    };
    const std::string sixty(60, 'a');
    const Case cases[] = {
        {"plain", "you tube", "you tube"},
        {"non_ascii_kept", "b\u00FCcher", "b\u00FCcher"},
        {"tab_and_bell", "exa\tmple\a", "exa\uFFFDmple\uFFFD"},
        {"right_to_left_override", "a\u202Ebc", "a\uFFFDbc"},
        {"line_separator", "a\u2028b", "a\uFFFDb"},
        {"not_utf8", "caf\xE9", "caf\uFFFD"},
        {"exactly_sixty", sixty, sixty},
        {"sixty_one", sixty + "b", sixty + "\u2026"},
        {"counted_in_characters", std::string(30, 'a') + std::string(40, '\xC3'),
         std::string(30, 'a') +
             [] {
                 std::string s;
                 for (int i = 0; i < 30; ++i) s += "\uFFFD";
                 return s + "\u2026";
             }()},
    };
    for (const Case& c : cases) EXPECT_EQ(shownEntry(c.typed), c.shown) << c.name;
}

}  // namespace
}  // namespace tarrow
