#include "common/file_stamp.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

// Each way a file can change between two ticks gives another stamp; nothing at all keeps it.
TEST(FileStamp, EveryKindOfChangeShows) {
    test::TempFolder temp;
    const std::string path = temp / "f";
    const std::string other = temp / "g";
    struct Row {
        const char* what;
        void (*change)(const std::string& path, const std::string& other);
        bool same;
    };
    const Row rows[] = {
        {"nothing", [](const std::string&, const std::string&) {}, true},
        {"replaced by rename, same bytes and times",
         [](const std::string& p, const std::string& o) {
             test::writeFile(o, "same\n");
             struct stat st = test::statOf(p);
             const timespec times[2] = {st.st_atim, st.st_mtim};
             ::utimensat(AT_FDCWD, o.c_str(), times, 0);
             std::rename(o.c_str(), p.c_str());
         },
         false},
        {"longer", [](const std::string& p, const std::string&) { test::writeFile(p, "same\nx"); },
         false},
        {"same size, time set back",
         [](const std::string& p, const std::string&) { test::setAge(p, 3600); }, false},
    };
    for (const Row& row : rows) {
        test::writeFile(path, "same\n");
        const Result<FileStamp> before = fileStamp(path);
        ASSERT_TRUE(before.ok()) << row.what;
        row.change(path, other);
        const Result<FileStamp> after = fileStamp(path);
        ASSERT_TRUE(after.ok()) << row.what;
        EXPECT_EQ(*before == *after, row.same) << row.what;
    }
}

}  // namespace
}  // namespace tarrow
