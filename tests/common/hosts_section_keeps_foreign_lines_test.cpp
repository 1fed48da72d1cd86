// The hosts section never loses a foreign line: whatever the file holds (comments, CR LF,
// Latin-1, lines that look like ours, our section or an older one in odd places, a lost
// end marker), every other line survives byte for byte and in order, the file then
// blocks exactly the requested names, and writing again changes nothing.

#include "common/hosts_section.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/lines.h"

using namespace tarrow;

namespace {

const std::string B(blockBegin), E(blockEnd);
using Names = std::vector<std::string>;

TEST(HostsSection, GeneratedFilesKeepEveryForeignLine) {
    std::vector<std::string> pool = {B, E, "", "line\r\nwith crlf", "cr\r"};
    for (const char* line : {"127.0.0.1\tlocalhost", "# comment \xE9t\xE9", "10.0.0.1 nas.local",
                             "0.0.0.0 ads.example", ":: ads.example", "0.0.0.0 a.com", ":: a.com",
                             "  ", "# >>> Pinfold", "# <<< Pinfold", "0.0.0.0 Upper.com",
                             "::1 localhost", "0.0.0.0  a.com  ", "127.0.0.2 b.org", ":: b.org"})
        pool.push_back(line);
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const int count = static_cast<int>(random() % 14);
        for (int i = 0; i < count; ++i)
            text += pool[random() % pool.size()] + (random() % 8 ? "\n" : "");
        std::vector<std::string_view> foreign;
        bool ours = false;
        for (std::string_view line : splitLines(text)) {
            ours = ours || isBegin(line) || isEnd(line) || isBlockLine(line);
            if (!line.empty() && !isBegin(line) && !isEnd(line) && !isBlockLine(line))
                foreign.push_back(line);
        }
        SCOPED_TRACE(testing::PrintToString(text));
        for (const Names& names : {Names{}, Names{"a.com", "b.org"}}) {
            for (std::string_view address : {plainAddress, noticeAddress}) {
                const std::string out = hostsFile(text, names, address);
                EXPECT_EQ(hostsFile(out, names, address), out);
                EXPECT_EQ(blockedNames(out), std::set<std::string>(names.begin(), names.end()));
                size_t at = 0;
                for (std::string_view line : foreign) {
                    at = out.find(line, at);
                    ASSERT_NE(at, std::string::npos) << "lost: " << line;
                    at += line.size();
                }
                // A file of only foreign lines comes back whole once unblocked.
                if (!ours && endsWithLineBreak(text) && !endsWithTwoLineBreaks(text)) {
                    EXPECT_EQ(hostsFile(out, {}), text);
                }
            }
        }
    }
}

// A lost end marker: only our own pairs right after the begin marker go.
TEST(HostsSection, LostEndMarker) {
    const std::string stock = "127.0.0.1 localhost\n";
    EXPECT_EQ(hostsFile(stock + "\n" + B + "\n0.0.0.0 x.com\n:: x.com\n0.0.0.0 ads.example\n", {}),
              stock + "\n0.0.0.0 ads.example\n");
    EXPECT_EQ(
        hostsFile(stock + "\n# >>> Pinfold\n0.0.0.0 o.com\n:: o.com\n\n" + hostsFile("", {"a.com"}),
                  {"a.com"}),
        stock + "\n" + hostsFile("", {"a.com"}).substr(1));
}

// Only a well-formed pair inside the section is a blocked name.
TEST(HostsSection, BlockedNamesReadsOnlyTheSection) {
    const std::string text = "0.0.0.0 outside.com\n" + B +
                             "\n0.0.0.0 a.com\n:: a.com\n::  spaced.com  \n0.0.0.0\ttab.com\n"
                             "0.0.0.0 b.com extra\n127.0.0.1 c.com\n" +
                             E + "\n0.0.0.0 after.com\n" + B + "\n:: open.com\n";
    EXPECT_EQ(blockedNames(text), (std::set<std::string>{"a.com", "spaced.com", "open.com"}));
}

// One name per rule: label length and characters, hyphens at the ends, empty labels, the
// number of labels, an all-digit last label, the whole length; protected names and
// names under them.
TEST(HostNames, ValidAndProtected) {
    const std::string l63(63, 'a'), l64(64, 'a');
    const std::string n253 = l63 + "." + l63 + "." + l63 + "." + std::string(61, 'd');
    for (const std::string& name :
         {std::string("example.com"), std::string("xn--bcher-kva.example"),
          std::string("1.example.a1"), l63 + ".com", n253})
        EXPECT_TRUE(validHost(name)) << name;
    for (const std::string& name :
         {std::string(""), std::string("localhost"), std::string("1.2.3.4"), std::string("-a.com"),
          std::string("a-.com"), std::string("Example.com"), std::string("a.com\n0.0.0.0 b.com"),
          std::string("a..com"), std::string("a.com."), l64 + ".com", n253 + "d"})
        EXPECT_FALSE(validHost(name)) << name;
    const std::pair<std::string, bool> rows[] = {
        {"www.apple.com", true},  {"localhost", true}, {"printer.local", true},
        {"pineapple.com", false}, {"mylan", false},    {"localhost.example", false}};
    for (const auto& [name, expected] : rows) EXPECT_EQ(isProtected(name), expected) << name;
}

}  // namespace
