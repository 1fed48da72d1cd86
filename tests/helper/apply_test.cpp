#include "helper/apply.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using namespace tarrow;
using namespace tarrow::test;

namespace {

const std::vector<std::string> two = {"example.com", "www.example.com"};
const std::string stock =
    "##\n# Host Database\n##\n127.0.0.1\tlocalhost\n::1             localhost\n";

bool sameTime(timespec a, timespec b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}
std::string tempOf(const std::string& path) {
    return path + std::string(applyTempSuffix);
}

// Whether apply, run without root's rights, fails with this message.
bool failsAsNobody(const std::string& hosts, const std::string& message) {
    const auto attempt = [&] {
        const Result<bool> changed = apply({"a.com"}, hosts);
        return !changed && changed.status().text() == message;
    };
    return inChild([&] { return attempt() ? 0 : 1; }, true) == 0;
}

// Block, block again, unblock, on a real file whose foreign lines hold tabs, CR LF,
// Latin-1 and UTF-8 bytes and a pair that looks like ours: the bytes are what hostsFile
// makes of them (its own tests cover the text), the second call writes nothing, and
// unblocking gives the file back byte for byte.
TEST(Apply, RealFiles) {
    const std::string original = stock +
                                 "# Caf\xE9 \xFF\n# \xC3\xA9t\xC3\xA9\n10.0.0.1 nas.local\r\n"
                                 "0.0.0.0 ads.example\n:: ads.example\n   \n\t# x\n";
    TempFolder folder;
    const std::string hosts = folder / "hosts";
    writeFile(hosts, original);
    Result<bool> changed = apply(two, hosts);
    ASSERT_TRUE(changed) << changed.status().text();
    EXPECT_TRUE(*changed);
    EXPECT_EQ(readFile(hosts), hostsFile(original, two));

    const struct stat before = statOf(hosts);
    EXPECT_EQ(apply(two, hosts).value_or(true), false);
    const struct stat after = statOf(hosts);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_TRUE(sameTime(after.st_mtim, before.st_mtim));

    EXPECT_TRUE(apply({}, hosts).value_or(false));
    EXPECT_EQ(readFile(hosts), original);
    EXPECT_EQ(statOf(tempOf(hosts)).st_mode, 0u);
}

TEST(Apply, MissingFileIsCreatedWithOnlyTheSection) {
    TempFolder folder;
    const mode_t mask = ::umask(077);
    Result<bool> changed = apply({"a.com"}, folder / "hosts");
    ::umask(mask);
    EXPECT_TRUE(changed.value_or(false));
    EXPECT_EQ(readFile(folder / "hosts"), hostsFile("", {"a.com"}));
    EXPECT_EQ(statOf(folder / "hosts").st_mode & 07777, 0644u);
    EXPECT_EQ(apply({}, folder / "other").value_or(true), false);  // nothing to remove
    EXPECT_EQ(statOf(folder / "other").st_mode, 0u);
}

TEST(Apply, SymbolicLinksStayAndTheirTargetIsReplaced) {
    TempFolder folder;
    ::mkdir((folder / "real").c_str(), 0755);
    writeFile(folder / "real/hosts", stock);
    ::symlink("real/hosts", (folder / "hosts").c_str());
    ::symlink("real/new-hosts", (folder / "dangling").c_str());

    EXPECT_TRUE(apply({"a.com"}, folder / "hosts").value_or(false));
    EXPECT_TRUE(S_ISLNK(statOf(folder / "hosts").st_mode));
    EXPECT_EQ(readFile(folder / "real/hosts"), hostsFile(stock, {"a.com"}));

    // A link to a file that does not exist yet: the file is created, the link stays.
    EXPECT_TRUE(apply({"a.com"}, folder / "dangling").value_or(false));
    EXPECT_TRUE(S_ISLNK(statOf(folder / "dangling").st_mode));
    EXPECT_EQ(readFile(folder / "real/new-hosts"), hostsFile("", {"a.com"}));
    EXPECT_EQ(resolvedPath(folder / "dangling"), folder / "real/new-hosts");
}

TEST(Apply, KeepsModeAndOwner) {
    if (!isRoot()) GTEST_SKIP() << "chown needs root";
    TempFolder folder;
    writeFile(folder / "hosts", stock, 0600);
    ASSERT_EQ(::chown((folder / "hosts").c_str(), 4242, 4343), 0);
    ASSERT_TRUE(apply({"a.com"}, folder / "hosts").value_or(false));
    const struct stat st = statOf(folder / "hosts");
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(st.st_uid, 4242u);
    EXPECT_EQ(st.st_gid, 4343u);
}

TEST(Apply, TemporaryNameIsNeverFollowed) {
    TempFolder folder;
    const std::string hosts = folder / "hosts";
    writeFile(hosts, stock);
    writeFile(tempOf(hosts), "left over from a crash");
    EXPECT_TRUE(apply({"a.com"}, hosts).value_or(false));
    EXPECT_EQ(statOf(tempOf(hosts)).st_mode, 0u);

    writeFile(folder / "victim", "must stay");
    ::symlink((folder / "victim").c_str(), tempOf(hosts).c_str());
    EXPECT_TRUE(apply({"b.com"}, hosts).value_or(false));
    EXPECT_EQ(readFile(folder / "victim"), "must stay");
    EXPECT_EQ(readFile(hosts), hostsFile(stock, {"b.com"}));
    EXPECT_EQ(statOf(tempOf(hosts)).st_mode, 0u);
}

// Anything but a regular file, or a file that cannot be read, is left as it is: taking it
// as empty would replace it with nothing but the section.
TEST(Apply, RefusesWhatItCannotRead) {
    TempFolder folder;
    ::mkdir((folder / "dir").c_str(), 0755);
    writeFile(folder / "dir/file", "x");
    ::mkfifo((folder / "fifo").c_str(), 0644);
    for (const std::string name : {"dir", "fifo"}) {
        Result<bool> changed = apply({"a.com"}, folder / name);
        ASSERT_FALSE(changed) << name;
        EXPECT_EQ(changed.status().text(),
                  "cannot replace " + folder / name + ": not a regular file");
        EXPECT_EQ(statOf(tempOf(folder / name)).st_mode, 0u);
    }
    EXPECT_TRUE(S_ISFIFO(statOf(folder / "fifo").st_mode));

    writeFile(folder / "hosts", stock, 0);
    EXPECT_TRUE(failsAsNobody(folder / "hosts",
                              "cannot read " + folder / "hosts" + ": " + std::strerror(EACCES)));
    ::chmod((folder / "hosts").c_str(), 0644);
    EXPECT_EQ(readFile(folder / "hosts"), stock);
}

TEST(Apply, UnwritableFolder) {
    TempFolder folder;
    writeFile(folder / "hosts", stock);  // the folder is root's and 0755: nobody may not write it
    if (!isRoot()) ::chmod(folder.path.c_str(), 0555);
    EXPECT_TRUE(failsAsNobody(folder / "hosts", "cannot write " + folder / "hosts.tarrow-new" +
                                                    ": " + std::strerror(EACCES)));
    ::chmod(folder.path.c_str(), 0755);
    EXPECT_EQ(readFile(folder / "hosts"), stock);
}

// A hosts file that is a mount point (as in many containers) cannot be renamed over.
TEST(Apply, RenameFailureRemovesTheTemporaryFile) {
    if (!isRoot()) GTEST_SKIP() << "mounting needs root";
    TempFolder folder;
    const std::string hosts = folder / "hosts";
    writeFile(hosts, stock);
    writeFile(folder / "other", stock);
    const int result = inChild(
        [&] {
            if (::mount((folder / "other").c_str(), hosts.c_str(), nullptr, MS_BIND, nullptr) != 0)
                return 77;
            Result<bool> changed = apply({"a.com"}, hosts);
            const bool ok = !changed && changed.status().text() ==
                                            "cannot replace " + hosts + ": " + std::strerror(EBUSY);
            return ok && statOf(tempOf(hosts)).st_mode == 0 && readFile(hosts) == stock ? 0 : 1;
        },
        false, true);
    if (result == 77) GTEST_SKIP() << "no mount namespace here";
    EXPECT_EQ(result, 0);
    EXPECT_EQ(statOf(tempOf(hosts)).st_mode, 0u);
}

// The memo saves the read only when nothing changed; whatever changed, the result is
// what a fresh apply gives.
TEST(Apply, MemoEqualsAFreshRead) {
    TempFolder folder;
    const std::string hosts = folder / "hosts";
    struct Row {
        const char* what;
        std::function<void()> change;
        std::vector<std::string> names;
        std::string_view address;
        bool changed;
    };
    const std::vector<Row> rows = {
        {"nothing", [] {}, two, plainAddress, false},
        {"other names", [] {}, {"a.com"}, plainAddress, true},
        {"other address", [] {}, two, noticeAddress, true},
        {"file replaced by the same bytes without the section", [&] { writeFile(hosts, stock); },
         two, plainAddress, true},
        {"same size edited in place, times put back",
         [&] {
             const struct stat st = statOf(hosts);
             std::string text = readFile(hosts).value_or("");
             text.replace(text.find("www.example.com"), 3, "xyz");
             std::FILE* f = std::fopen(hosts.c_str(), "r+");
             std::fwrite(text.data(), 1, text.size(), f);
             std::fclose(f);
             const timespec times[2] = {st.st_atim, st.st_mtim};
             ::utimensat(AT_FDCWD, hosts.c_str(), times, 0);
         },
         two, plainAddress, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        writeFile(hosts, stock);
        std::optional<ApplyMemo> memo;
        ASSERT_TRUE(apply(two, hosts, plainAddress, &memo).value_or(false));
        EXPECT_EQ(apply(two, hosts, plainAddress, &memo).value_or(true),
                  false);  // reads, finds it current
        ASSERT_TRUE(memo);
        row.change();
        EXPECT_EQ(apply(row.names, hosts, row.address, &memo).value_or(!row.changed), row.changed);
        EXPECT_EQ(readFile(hosts), hostsFile(stock, row.names, row.address));
        EXPECT_EQ(apply(row.names, hosts, row.address).value_or(true),
                  false);  // a fresh read agrees
    }
}

}  // namespace
