#include "common/hosts_section.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "common/lines.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using namespace tarrow;

namespace {

// clang-format off
const std::string stock =
    "##\n# Host Database\n##\n127.0.0.1\tlocalhost\n255.255.255.255\tbroadcasthost\n::1             localhost\n";
// clang-format on
const std::string B(blockBegin), E(blockEnd);

std::string section(const std::vector<std::string>& names, const std::string& address = "0.0.0.0") {
    std::string s = B + "\n";
    for (const auto& n : names) s += address + " " + n + "\n:: " + n + "\n";
    return s + E + "\n";
}

struct Case {
    const char* what;
    std::string text;
    std::vector<std::string> names;
    std::string address;
    std::string expected;
};

// clang-format off
std::vector<Case> cases() {
    const std::vector<std::string> two = {"example.com", "www.example.com"};
    const std::string crlf = "127.0.0.1 localhost\r\n::1 localhost\r\n";
    const std::string pinfold = "# >>> Pinfold >>> old\n0.0.0.0 old.com\n:: old.com\n# <<< Pinfold <<<\n";
    return {
        {"block stock", stock, two, "0.0.0.0", stock + "\n" + section(two)},
        {"block with the notice address", stock, {"a.com"}, "127.0.0.2",
         stock + "\n" + section({"a.com"}, "127.0.0.2")},
        {"notice address back to plain", stock + "\n" + section({"a.com"}, "127.0.0.2"), {"a.com"},
         "0.0.0.0", stock + "\n" + section({"a.com"})},
        {"unblock restores stock", stock + "\n" + section(two), {}, "0.0.0.0", stock},
        {"unblock without section keeps trailing empty lines", stock + "\n\n", {}, "0.0.0.0", stock + "\n\n"},
        {"foreign line after the section survives", stock + "\n" + section({"x.com"}) + "10.0.0.1 nas.local\n",
         {}, "0.0.0.0", stock + "\n10.0.0.1 nas.local\n"},
        {"lost end marker", stock + "\n" + B + "\n0.0.0.0 x.com\n:: x.com\n192.168.1.2 printer\n", {}, "0.0.0.0",
         stock + "\n192.168.1.2 printer\n"},
        {"lost end marker keeps a user line that is no pair",
         stock + "\n" + B + "\n0.0.0.0 x.com\n:: x.com\n0.0.0.0 ads.example\n", {}, "0.0.0.0",
         stock + "\n0.0.0.0 ads.example\n"},
        {"foreign line inside the section survives",
         stock + "\n" + B + "\n0.0.0.0 a.com\n:: a.com\n10.0.0.9 printer\n0.0.0.0 b.com\n:: b.com\n" + E + "\n", {},
         "0.0.0.0", stock + "\n10.0.0.9 printer\n"},
        {"file of only the section", section({"a.com"}), {}, "0.0.0.0", ""},
        {"block empty text", "", {"a.com"}, "0.0.0.0", "\n" + section({"a.com"})},
        {"trailing empty lines shrink to one line end", stock + "\n\n\n", {"a.com"}, "0.0.0.0",
         stock + "\n" + section({"a.com"})},
        {"missing final line end", "127.0.0.1 localhost", {"a.com"}, "0.0.0.0",
         "127.0.0.1 localhost\n\n" + section({"a.com"})},
        {"CR LF file is one foreign line", crlf, {"a.com"}, "0.0.0.0", crlf + "\n\n" + section({"a.com"})},
        {"CR LF lines inside a section are foreign", B + "\r\n0.0.0.0 a.com\r\n" + E + "\r\n10.0.0.1 nas\r\n", {},
         "0.0.0.0", B + "\r\n0.0.0.0 a.com\r\n" + E + "\r\n10.0.0.1 nas\r\n"},
        {"marker text after a CR LF starts no line", "a\r\n" + section({"a.com"}), {}, "0.0.0.0",
         "a\r\n" + section({"a.com"})},
        {"lone CR at the end", "a\nb\r", {"a.com"}, "0.0.0.0", "a\nb\r\n\n\n" + section({"a.com"})},
        {"Pinfold section replaced", stock + "\n" + pinfold, {"b.com"}, "0.0.0.0", stock + "\n" + section({"b.com"})},
        {"several sections removed at once", stock + "\n" + pinfold + "\n" + section({"a.com"}), {}, "0.0.0.0",
         stock},
        {"older section without end before ours",
         stock + "\n# >>> Pinfold\n0.0.0.0 old.com\n:: old.com\n\n" + section({"a.com"}), {"a.com"}, "0.0.0.0",
         stock + "\n" + section({"a.com"})},
    };
}
// clang-format on

TEST(HostsFile, Cases) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.what);
        const std::string out = hostsFile(c.text, c.names, c.address);
        EXPECT_EQ(out, c.expected);
        // Applying the same request again changes nothing, and the file blocks exactly the names.
        EXPECT_EQ(hostsFile(out, c.names, c.address), out);
        EXPECT_EQ(blockedNames(out), std::set<std::string>(c.names.begin(), c.names.end()));
    }
}

TEST(HostsFile, BlockedNamesReadsOnlyTheSection) {
    const std::string text = "0.0.0.0 outside.com\n" + B +
                             "\n0.0.0.0 a.com\n:: a.com\n::  spaced.com  \n" +
                             "0.0.0.0\ttab.com\n0.0.0.0 b.com extra\n127.0.0.1 c.com\n" + E +
                             "\n0.0.0.0 after.com\n" + B + "\n:: open.com\n";
    EXPECT_EQ(blockedNames(text), (std::set<std::string>{"a.com", "spaced.com", "open.com"}));
}

// Generated files: every line that is neither a marker nor a block line survives, in
// order, whatever sections the file holds; blocking twice gives the same text.
TEST(HostsFile, ForeignLinesSurviveGeneratedFiles) {
    // clang-format off
    const std::vector<std::string> pool = {
        "127.0.0.1\tlocalhost", "# comment \xE9t\xE9", "10.0.0.1 nas.local", "0.0.0.0 ads.example",
        ":: ads.example", "0.0.0.0 a.com", ":: a.com", "", "  ", "line\r\nwith crlf", B, E,
        "# >>> Pinfold", "# <<< Pinfold", "0.0.0.0 Upper.com", "::1 localhost", "0.0.0.0  a.com  ", "cr\r"};
    // clang-format on
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int count = static_cast<int>(random() % 14);
        for (int i = 0; i < count; ++i)
            text += pool[random() % pool.size()] + (random() % 8 ? "\n" : "");
        std::vector<std::string_view> foreign;
        for (std::string_view line : splitLines(text))
            if (!line.empty() && !isBegin(line) && !isEnd(line) && !isBlockLine(line))
                foreign.push_back(line);
        for (const auto& names :
             {std::vector<std::string>{}, std::vector<std::string>{"a.com", "b.org"}}) {
            SCOPED_TRACE(testing::PrintToString(text));
            const std::string out = hostsFile(text, names);
            EXPECT_EQ(hostsFile(out, names), out);
            size_t at = 0;
            for (std::string_view line : foreign) {
                at = out.find(line, at);
                ASSERT_NE(at, std::string::npos) << "lost: " << line;
                at += line.size();
            }
        }
    }
}

// One name per rule: label length and characters, hyphens at the ends, empty labels, the
// number of labels, an all-digit last label, the whole length.
TEST(HostNames, ValidHost) {
    const std::string l63(63, 'a'), l64(64, 'a');
    const std::string n253 = l63 + "." + l63 + "." + l63 + "." + std::string(61, 'd');
    ASSERT_EQ(n253.size(), 253u);
    using Names = std::vector<std::string>;
    for (const std::string& name :
         Names{"example.com", "xn--bcher-kva.example", "1.example.a1", l63 + ".com", n253})
        EXPECT_TRUE(validHost(name)) << name;
    for (const std::string& name :
         Names{"", "localhost", "1.2.3.4", "-a.com", "a-.com", "Example.com",
               "a.com\n0.0.0.0 b.com", "a..com", "a.com.", l64 + ".com", n253 + "d"})
        EXPECT_FALSE(validHost(name)) << name;
}

TEST(HostNames, IsProtected) {
    // A name under a protected one is protected; one that only ends in its letters is not.
    const std::vector<std::pair<std::string, bool>> rows = {
        {"www.apple.com", true},  {"localhost", true}, {"printer.local", true},
        {"pineapple.com", false}, {"mylan", false},    {"localhost.example", false}};
    for (const auto& [name, expected] : rows) EXPECT_EQ(isProtected(name), expected) << name;
}

TEST(HostLines, MarkersAndPairs) {
    EXPECT_FALSE(isBegin(" # >>> Tarrow"));
    EXPECT_TRUE(isBlockLine("  0.0.0.0   a.com  "));
    EXPECT_FALSE(isBlockLine("127.0.0.1 a.com"));
    EXPECT_FALSE(isBlockLine("0.0.0.0\ta.com"));
    EXPECT_FALSE(isBlockLine("0.0.0.0 a.com b.com"));
    EXPECT_TRUE(isPair("0.0.0.0 a.com", ":: a.com"));
    EXPECT_FALSE(isPair("0.0.0.0 a.com", ":: b.com"));
    EXPECT_FALSE(isPair(":: a.com", ":: a.com"));
}

// readText keeps the bytes and only says how they are encoded; what it cannot read (or
// would wait on, like a FIFO) is none.
TEST(ReadText, BytesKeptEncodingReported) {
    const test::TempFolder folder;
    const std::pair<std::string, bool> encodings[] = {{"# caf\xE9\n", true},
                                                      {"# caf\xC3\xA9\n", false}};
    for (const auto& [bytes, latin1] : encodings) {
        test::writeFile(folder / "hosts", bytes);
        Result<HostsText> text = readText(folder / "hosts");
        ASSERT_TRUE(text);
        EXPECT_EQ(text->text, bytes);
        EXPECT_EQ(text->latin1, latin1) << bytes;
    }
    EXPECT_FALSE(readText(folder / "missing"));
    ::mkfifo((folder / "fifo").c_str(), 0644);
    EXPECT_FALSE(readText(folder / "fifo"));
}

}  // namespace
