// Making a folder that pictures and other output can be written into.

#include "common/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

namespace fs = std::filesystem;

TEST(MakeWritableFolder, MakesWhatIsMissingAndLeavesNothingBehind) {
    test::TempFolder temp;
    const std::string nested = temp / "a/b/c";
    for (const std::string& path : {nested, nested, temp.path}) {  // new, then existing
        EXPECT_TRUE(makeWritableFolder(path).ok()) << path;
    }
    EXPECT_TRUE(fs::is_directory(nested));
    EXPECT_TRUE(fs::is_empty(nested));  // the scratch file is gone again
}

TEST(MakeWritableFolder, SaysWhyItCannot) {
    test::TempFolder temp;
    std::ofstream(temp / "file") << "x";
    struct Case {
        std::string path;
        std::string text;
    };
    const Case cases[] = {
        {temp / "file", "cannot create " + (temp / "file") + ": Not a directory"},
        {"", "cannot create: no folder named"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(makeWritableFolder(c.path).text(), c.text) << c.path;
    }
}

TEST(MakeWritableFolder, AFolderThatCannotBeWrittenIsRefused) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into any folder";
    test::TempFolder temp;
    const std::string closed = temp / "closed";
    fs::create_directory(closed);
    ::chmod(closed.c_str(), 0555);
    EXPECT_EQ(makeWritableFolder(closed).text(), "cannot write " + closed + ": Permission denied");
    EXPECT_EQ(makeWritableFolder(closed + "/inside").text(),
              "cannot create " + closed + "/inside: Permission denied");
}

}  // namespace
}  // namespace tarrow
