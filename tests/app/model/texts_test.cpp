// One check per family of texts that the model makes from its values, and the Linux words
// in every text of this desktop's variant.

#include <gtest/gtest.h>

#include "app/model/attempts_texts.h"
#include "app/model/general_texts.h"
#include "app/model/login_item.h"
#include "app/model/machine_texts.h"
#include "app/model/setup_texts.h"
#include "app/model/site_lines.h"
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
        {untilLine(schedule, nine, de) + "; " + cardLine(schedule, nine, de) + "; " +
             untilLine({true, Why::timed(noon), noon, monday}, nine, de),
         "until 12:00, on schedule; Blocked until 12:00, on schedule.; until 12:00"},
        {detail("youtube.com", 1234, "de_DE", {{"www.youtube.com", "r1"}}).value_or("") + "; " +
             visitsLine({"reddit.com", 20000}, "de_DE"),
         "youtube.com \u00B7 also youtu.be \u00B7 tried 1.234 times this week \u00B7 still opens: "
         "www.youtube.com \u2013 r1; reddit.com \u00B7 20.000 visits \u00B7 Social media"},
        {listJoined({"Firefox", "Chromium", "Brave"}) + "; " + listJoined({"Firefox", "Chromium"}),
         "Firefox, Chromium and Brave; Firefox and Chromium"},
        {when(t("2026-10-26T00:00:00+01:00"), t("2026-10-25T23:30:00+01:00"), de),
         "tomorrow 00:00"},
        {describe(Schedule{"", true, {2, 4, 6, 9}, 1320, 120}, gb) + "; " +
             describe(Schedule{"", true, {}, 60, 60}, gb),
         "Mon, Wed, Fri, 22:00\u201302:00; No days, all day"},
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
                                   agentName("tarrow.service", d),
                                   lockedInsteadOfList({"Firefox", "Chromium", "Brave"}, d).text};
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

// Started by a user service, a login item that is on goes, so that the app starts once; a
// failure to remove it is said.
TEST(LoginItem, GoesWhenAServiceStartsTheApp) {
    for (const Status& result : {Status{}, Status::failure("remove", "/x/t.desktop", EACCES)}) {
        std::vector<std::string> logged;
        bool on = true;
        const LoginItem item{[&] { return on; }, [&](bool want) { return on = want, result; }};
        for (int twice = 0; twice < 2; ++twice)
            dropLoginItemForAgent(item, agentName("tarrow.service", Desktop::other),
                                  [&](std::string_view line) { logged.emplace_back(line); });
        EXPECT_EQ(logged, std::vector<std::string>{
                              result.ok() ? "login item removed, the systemd user unit "
                                            "tarrow.service starts Tarrow"
                                          : "could not remove the login item: " + result.text()});
    }
}

}  // namespace
}  // namespace tarrow
