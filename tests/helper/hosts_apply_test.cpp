// Writing the hosts file: nothing but our section changes, an unchanged request writes
// nothing, links and the file's owner and mode stay, and a failure leaves the file and
// no temporary file behind.

#include "helper/apply.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using namespace tarrow;
using namespace tarrow::test;

namespace {

const std::vector<std::string> two = {"example.com", "www.example.com"};
const std::string stock = "127.0.0.1\tlocalhost\n::1             localhost\n";

bool noTemp(const std::string& hosts) {
    return statOf(hosts + std::string(applyTempSuffix)).st_mode == 0;
}

// Owner and mode stay (as root, a file of another user), an unchanged request writes
// nothing, and unblocking gives back the very bytes.
TEST(HostsApply, BlockAgainAndUnblockOnARealFile) {
    const std::string original = stock + "# Caf\xE9 \xFF\n10.0.0.1 nas.local\r\n0.0.0.0 ads.x\n";
    TempFolder folder;
    const std::string hosts = folder / "hosts";
    writeFile(hosts, original, 0600);
    ASSERT_TRUE(!isRoot() || ::chown(hosts.c_str(), 4242, 4343) == 0);
    const struct stat first = statOf(hosts);
    EXPECT_TRUE(apply(two, hosts).value_or(false));
    EXPECT_EQ(readFile(hosts), hostsFile(original, two));
    const struct stat before = statOf(hosts);
    EXPECT_EQ(std::make_tuple(before.st_mode, before.st_uid, before.st_gid),
              std::make_tuple(first.st_mode, first.st_uid, first.st_gid));
    EXPECT_EQ(apply(two, hosts).value_or(true), false);
    EXPECT_EQ(statOf(hosts).st_ino, before.st_ino);
    EXPECT_TRUE(apply({}, hosts).value_or(false));
    EXPECT_EQ(readFile(hosts), original);
}

TEST(HostsApply, LinksStayAndTheTemporaryNameIsNeverFollowed) {
    TempFolder folder;
    writeFile(folder / "real/hosts", stock);
    writeFile(folder / "victim", "must stay");
    ASSERT_EQ(::symlink("real/hosts", (folder / "hosts").c_str()), 0);
    ASSERT_EQ(::symlink("real/new", (folder / "dangling").c_str()), 0);
    ASSERT_EQ(::symlink("../victim", (folder / "real/hosts.tarrow-new").c_str()), 0);
    EXPECT_TRUE(apply({"a.com"}, folder / "hosts").value_or(false));
    EXPECT_TRUE(apply({"a.com"}, folder / "dangling").value_or(false));
    EXPECT_TRUE(S_ISLNK(statOf(folder / "hosts").st_mode) &&
                S_ISLNK(statOf(folder / "dangling").st_mode));
    EXPECT_EQ(readFile(folder / "real/hosts"), hostsFile(stock, {"a.com"}));
    EXPECT_EQ(readFile(folder / "real/new"), hostsFile("", {"a.com"}));
    EXPECT_EQ(readFile(folder / "victim"), "must stay");
    EXPECT_TRUE(noTemp(folder / "real/hosts"));
}

// What cannot be read whole, or written and renamed, is left exactly as it was: taken
// as empty, it would be replaced by nothing but the section.
TEST(HostsApply, FailuresLeaveTheFileAsItWas) {
    enum How { asRoot, asNobody, overAMount };
    const auto file = [](mode_t mode) {
        return [mode](const std::string& h) { writeFile(h, stock, mode); };
    };
    const std::tuple<std::function<void(const std::string&)>, How, std::string> rows[] = {
        {[](const std::string& h) { ::mkfifo(h.c_str(), 0644); }, asRoot,
         "cannot replace %: not a regular file"},
        {file(0), asNobody, "cannot read %: Permission denied"},
        {file(0644), asNobody, "cannot write %.tarrow-new: Permission denied"},
        {file(0644), overAMount, "cannot replace %: Device or resource busy"},
    };
    for (const auto& [make, how, text] : rows) {
        TempFolder folder;
        const std::string hosts = folder / "hosts";
        make(hosts);
        if (!isRoot()) ::chmod(folder.path.c_str(), 0555);  // root's folder, when run as root
        std::string error = text;
        error.replace(error.find('%'), 1, hosts);
        const int result = inChild(
            [&] {
                if (how == overAMount &&
                    ::mount(hosts.c_str(), hosts.c_str(), nullptr, MS_BIND, nullptr) != 0)
                    return 77;
                const Result<bool> changed = apply({"a.com"}, hosts);
                return !changed && changed.status().text() == error && noTemp(hosts) ? 0 : 1;
            },
            how == asNobody, how == overAMount);
        ::chmod(folder.path.c_str(), 0755);
        if (result == 77) continue;  // no mount namespace here
        EXPECT_EQ(result, 0) << error;
        ::chmod(hosts.c_str(), 0644);
        EXPECT_EQ(S_ISREG(statOf(hosts).st_mode) ? readFile(hosts) : stock, stock) << error;
    }
}

}  // namespace
