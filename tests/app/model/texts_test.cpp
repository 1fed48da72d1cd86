// One check per family of texts that the model makes from its values, and the Linux words
// in every text of this desktop's variant.

#include <gtest/gtest.h>

#include "app/model/attempts_texts.h"
#include "app/model/general_texts.h"
#include "app/model/machine_texts.h"
#include "app/model/setup_texts.h"
#include "app/model/sites_texts.h"
#include "app/model/texts.h"

namespace tarrow {
namespace {

Instant t(const char* text) {
    return parseIso(text).value();
}

TEST(Texts, EachFamilySaysItsValues) {
    const Calendar de("Europe/Berlin", "de_DE"), gb("Europe/Berlin", "en_GB");
    const Instant nine = t("2026-10-23T09:00:00+02:00"), noon = t("2026-10-23T12:00:00+02:00");
    const Instant monday = t("2026-10-26T08:00:00+01:00");
    const Evaluation schedule{true, Why::schedule(noon), noon, monday};
    const Evaluation off{false, Why::off(), std::nullopt, monday};
    const std::pair<std::string, std::string> cases[] = {
        {statusLine(schedule, nine, de), "Tarrow \u2013 until 12:00, on schedule"},
        {statusLine(off, nine, de), "Everything open \u2013 next schedule Mo. 08:00"},
        {when(t("2026-10-26T00:00:00+01:00"), t("2026-10-25T23:30:00+01:00"), de),
         "tomorrow 00:00"},
        {describe(Schedule{"", true, {2, 4, 6, 9}, 1320, 120}, gb),
         "Mon, Wed, Fri, 22:00\u201302:00"},
        {todayTryLine(1) + todayTryLine(11) + todayTryLine(22) + todayTryLine(113),
         "First try today11th try today22nd try today113th try today"},
        // Typed text is quoted so that no direction mark or control can turn it around.
        {notAnAddress("moc.elpmaxe\u202E\t"),
         "\u201Cmoc.elpmaxe\uFFFD\uFFFD\u201D is not an address Tarrow can block. Type it like "
         "example.com."},
        {shownEntry(std::string(60, 'a') + "b"), std::string(60, 'a') + "\u2026"},
        {Calendar("Europe/Berlin", "ar_EG").timestamp(t("2026-10-25T01:30:00Z")),
         "2026-10-25 02:30:00"},
    };
    for (const auto& [got, expected] : cases) EXPECT_EQ(got, expected);
    EXPECT_EQ(orderedWeekdays(de), (std::vector<int>{2, 3, 4, 5, 6, 7, 1}));
}

// Every text of the other desktops' variant, read for words that only make sense on the
// Mac; without a tray the way to "Okay, Now" is the window's menu.
TEST(Texts, OtherDesktopsMeetNoAppleWords) {
    const Desktop d = Desktop::other;
    std::vector<std::string> texts{startedByTip("tarrow.service", d),
                                   noticeExplanation(d),
                                   suggestExplanation(d),
                                   privacyParagraph(d),
                                   welcomeHeadline(d),
                                   welcomeWhere(d),
                                   historyFootnote(d),
                                   neverBlocks("example.com", d),
                                   lockedInsteadOfList({"Firefox"}, d).text};
    for (Helper h : {Helper::missing, Helper::outdated, Helper::stuck, Helper::working})
        texts.push_back(helperText(h, d));
    for (const MachineText* text : machine::all) texts.push_back(machineText(*text, {}, d));
    for (const machine::NoTrayText* text : {&machine::pageHowNoTray, &machine::cardHowNoTray}) {
        texts.push_back(machineText(*text, false, {{"letter", "t"}}, d));
        EXPECT_NE(texts.back().find("window\u2019s menu"), std::string::npos) << texts.back();
    }
    for (const std::string& text : texts)
        for (const char* word : {"Mac", "iCloud", "Apple", "Finder", "System Settings", "Dock",
                                 "Safari", "menu bar", "Full Disk Access"})
            EXPECT_EQ(text.find(word), std::string::npos) << word << " in: " << text;
}

}  // namespace
}  // namespace tarrow
