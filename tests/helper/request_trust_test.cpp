// A request is trusted only when it is a regular file (no link, no FIFO) of the given
// user, under the size limit, fresh, and UTF-8; then its valid names are taken.

#include "helper/request.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/utf8.h"
#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using namespace tarrow;
using namespace tarrow::test;

namespace {

using Names = std::vector<std::string>;
Request names(Names list) {
    return {Request::Kind::names, std::move(list)};
}

// Each row breaks exactly one condition of a valid request ("a.com\n", mine, just
// written); the file is never changed by reading it.
TEST(RequestTrust, EachBrokenConditionIsRefused) {
    TempFolder folder;
    const uid_t me = ::getuid();
    const std::string path = folder / "r";
    struct Row {
        const char* what;
        std::function<void()> make;
        uid_t uid;
        Request expected;
    };
    const auto file = [&](std::string text, double age = 0) {
        return [=] {
            writeFile(path, text);
            if (age > 0) setAge(path, age);
        };
    };
    const std::string fill(999993, '\n');
    const Row rows[] = {
        {"all met", file("a.com\n"), me, names({"a.com"})},
        {"owner", file("a.com\n"), me + 1, Request::untrusted()},
        {"link",
         [&] {
             writeFile(folder / "t", "a.com\n");
             EXPECT_EQ(::symlink("t", path.c_str()), 0);
         },
         me, Request::untrusted()},
        {"FIFO, never waited on", [&] { ::mkfifo(path.c_str(), 0644); }, me, Request::untrusted()},
        {"UTF-8", file("a.com\n\xFF\n"), me, Request::untrusted()},
        {"999,999 bytes", file("a.com\n" + fill), me, names({"a.com"})},
        {"1,000,000 bytes", file("a.com\n\n" + fill), me, Request::untrusted()},
        {"299 s old", file("a.com\n", 299), me, names({"a.com"})},
        {"301 s old", file("a.com\n", 301), me, Request::silent()},
        {"empty and old", file("", 86400), me, names({})},
        {"missing", [] {}, me, names({})},
        {"stale of another owner: the owner first", file("a.com\n", 999), me + 1,
         Request::untrusted()},
    };
    ::alarm(30);  // a read that blocks on the FIFO ends the test instead of hanging it
    for (const Row& row : rows) {
        ::unlink(path.c_str());
        row.make();
        const auto before = S_ISREG(statOf(path).st_mode) ? readFile(path) : std::nullopt;
        EXPECT_EQ(requested(path, row.uid), row.expected) << row.what;
        EXPECT_EQ(before ? readFile(path) : before, before) << row.what;
    }
    ::alarm(0);
}

TEST(RequestTrust, OwnerIsTheGivenUserEvenForRoot) {
    if (!isRoot()) GTEST_SKIP() << "chown needs root";
    TempFolder folder;
    writeFile(folder / "r", "a.com\n");
    ASSERT_EQ(::chown((folder / "r").c_str(), 4242, 4242), 0);
    EXPECT_EQ(std::make_pair(requested(folder / "r", 4242), requested(folder / "r", 0)),
              std::make_pair(names({"a.com"}), Request::untrusted()));
}

// Of a trusted file: valid names in file order, lower case, once each, at most 2000;
// addresses, single labels, protected names and the DNS-over-HTTPS canary are dropped.
TEST(RequestTrust, NamesTaken) {
    std::string text;
    Names many;
    for (int i = 0; i < 2500; ++i) text += "n" + std::to_string(i) + ".example\n";
    for (int i = 0; i < 2000; ++i) many.push_back("n" + std::to_string(i) + ".example");
    const std::pair<std::string, Names> rows[] = {
        {"b.com\n  Example.COM \na.com\nexample.com\nb.com", {"b.com", "example.com", "a.com"}},
        {"1.2.3.4\nlocalhost\nwww.apple.com\na_b.com\nUse-Application-DNS.net\n"
         "www.use-application-dns.net\n",
         {"www.use-application-dns.net"}},
        {text, many},
    };
    TempFolder folder;
    for (const auto& [content, expected] : rows) {
        writeFile(folder / "r", content);
        EXPECT_EQ(requested(folder / "r", ::getuid()), names(expected)) << content.substr(0, 40);
    }
}

// Strict UTF-8: one row per way a byte run is not.
TEST(RequestTrust, Utf8IsStrict) {
    EXPECT_TRUE(
        validUtf8("caf\xC3\xA9 \xE2\x80\x93 \xF0\x9F\x98\x80 \xEF\xBF\xBF \xF4\x8F\xBF\xBF"));
    for (const char* bad : {"twelve bytes\xFF", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                            "\xF4\x90\x80\x80", "\xC3", "abcdefg\xE2\x80", "\x80"})
        EXPECT_FALSE(validUtf8(bad)) << testing::PrintToString(std::string(bad));
}

}  // namespace
