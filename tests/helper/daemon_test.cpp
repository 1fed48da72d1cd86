#include <sys/stat.h>

#include <gtest/gtest.h>

#include "helper/daemon.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(MakeFolders, MissingFoldersGetTheModeExistingOnesKeepTheirs) {
    test::TempFolder temp;
    ASSERT_EQ(::mkdir((temp / "kept").c_str(), 0700), 0);
    const mode_t mask = ::umask(077);  // the mode must not depend on the umask
    makeFolders(temp / "kept/a/b", 0755);
    makeFolders(temp / "kept/a/b", 0755);  // again: nothing to do, no harm
    ::umask(mask);
    EXPECT_EQ(modeOf(temp / "kept"), 0700u);
    EXPECT_EQ(modeOf(temp / "kept/a"), 0755u);
    EXPECT_EQ(modeOf(temp / "kept/a/b"), 0755u);
}

}  // namespace
}  // namespace tarrow
