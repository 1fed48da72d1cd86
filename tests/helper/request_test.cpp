#include "helper/request.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using namespace tarrow;
using namespace tarrow::test;

namespace {

using Names = std::vector<std::string>;
const Request untrusted = Request::untrusted();
const Request silent = Request::silent();
Request names(Names list) {
    return {Request::Kind::names, std::move(list)};
}

TEST(Request, Content) {
    Names many, first2000;
    std::string text;
    for (int i = 0; i < 2500; ++i) {
        // Appended, not "n" + ...: GCC 12 at -O3 warns falsely (-Wrestrict) on the latter.
        many.push_back(std::string("n").append(std::to_string(i)).append(".example"));
        text += many.back() + "\n";
    }
    first2000.assign(many.begin(), many.begin() + 2000);
    struct Row {
        const char* what;
        std::string content;
        Names expected;
    };
    // clang-format off
    const std::vector<Row> rows = {
        {"file order, first of each name, case and spaces", "b.com\n  Example.COM \na.com\nexample.com\nb.com\n",
         {"b.com", "example.com", "a.com"}},
        {"address, single label, protected, invalid, valid", "1.2.3.4\nlocalhost\nwww.apple.com\na_b.com\na.com\n",
         {"a.com"}},
        {"the DNS-over-HTTPS canary is never blocked, a name under it is",
         "Use-Application-DNS.net\na.com\nwww.use-application-dns.net\n", {"a.com", "www.use-application-dns.net"}},
        {"empty lines and no final line end", "\n\na.com\n\nb.com", {"a.com", "b.com"}},
        {"CR LF lines are one run that fails", "a.com\r\nb.com\r\n", {}},
        {"space separators trimmed", "\xC2\xA0" "a.com\xE3\x80\x80\n\tb.com\t\n", {"a.com", "b.com"}},
        {"2,500 names give the first 2000", text, first2000},
    };
    // clang-format on
    TempFolder folder;
    for (const Row& row : rows) {
        writeFile(folder / "r", row.content);
        EXPECT_EQ(requested(folder / "r", ::getuid()), names(row.expected)) << row.what;
    }
}

TEST(Request, Trust) {
    TempFolder folder;
    const uid_t me = ::getuid();
    const std::string valid = folder / "valid";
    writeFile(valid, "a.com\n");
    struct Row {
        const char* what;
        std::function<std::string()> make;  // returns the path to read
        uid_t uid;
        Request expected;
    };
    // A row's file, written (and aged) when the row runs.
    auto file = [&](const std::string& name, const std::string& content, double age = 0) {
        return [=, &folder] {
            writeFile(folder / name, content);
            if (age > 0) setAge(folder / name, age);
            return folder / name;
        };
    };
    const std::string padding(999993, '\n');
    // clang-format off
    const std::vector<Row> rows = {
        {"missing file", [&] { return folder / "missing"; }, me, names({})},
        {"symbolic link to a valid file",
         [&] { ::symlink(valid.c_str(), (folder / "link").c_str()); return folder / "link"; }, me, untrusted},
        {"FIFO, opened without waiting for a writer",
         [&] { ::mkfifo((folder / "fifo").c_str(), 0644); return folder / "fifo"; }, me, untrusted},
        {"owned by another user", [&] { return valid; }, me + 1, untrusted},
        {"invalid UTF-8", file("bad", "a.com\n\xFF\n"), me, untrusted},
        {"999,999 bytes", file("big", "a.com\n" + padding), me, names({"a.com"})},
        {"1,000,000 bytes", file("huge", "a.com\n\n" + padding), me, untrusted},
        {"written 299 s ago", file("fresh", "a.com\n", 299), me, names({"a.com"})},
        {"written 301 s ago", file("stale", "a.com\n", 301), me, silent},
        {"empty and a day old", file("empty", "", 86400), me, names({})},
        {"stale and untrusted: the owner is checked first", file("old", "a.com\n", 999), me + 1, untrusted},
    };
    // clang-format on
    ::alarm(30);  // a reader that blocks on the FIFO fails the test instead of hanging it
    for (const Row& row : rows) {
        const std::string path = row.make();
        const bool regular = S_ISREG(statOf(path).st_mode);
        const std::string before = regular ? readFile(path).value_or("") : "";
        EXPECT_EQ(requested(path, row.uid), row.expected) << row.what;
        if (regular) {
            EXPECT_EQ(readFile(path), before) << row.what << ": the reader changed the file";
        }
    }
    ::alarm(0);
}

TEST(Request, OwnerIsTheGivenUser) {
    if (!isRoot()) GTEST_SKIP() << "chown needs root";
    TempFolder folder;
    writeFile(folder / "r", "a.com\n");
    ASSERT_EQ(::chown((folder / "r").c_str(), 4242, 4242), 0);
    EXPECT_EQ(requested(folder / "r", 4242), names({"a.com"}));
    EXPECT_EQ(requested(folder / "r", 0), untrusted);  // not even root's own files
}

}  // namespace
