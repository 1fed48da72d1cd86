#include "app/model/state_folder.h"

#include <gtest/gtest.h>

namespace tarrow {
namespace {

struct FolderCase {
    const char* name;
    const char *tarrowHome, *xdgDataHome;  // null: not set
    const char *home, *cwd;
    const char *folder, *pinfold;
};

std::optional<std::string> set(const char* value) {
    return value ? std::optional<std::string>(value) : std::nullopt;
}

class Folder : public testing::TestWithParam<FolderCase> {};

TEST_P(Folder, FollowsTheEnvironment) {
    const FolderCase& c = GetParam();
    const std::string folder = folderFor({set(c.tarrowHome), set(c.xdgDataHome), c.home, c.cwd});
    EXPECT_EQ(folder, c.folder);
    EXPECT_EQ(pinfoldFile(folder), c.pinfold);
}

const FolderCase folderCases[] = {
    {"default", nullptr, nullptr, "/home/u", "/w", "/home/u/.local/share/Tarrow",
     "/home/u/.local/share/Pinfold/config.json"},
    {"xdg_data_home", nullptr, "/data/", "/home/u", "/w", "/data/Tarrow",
     "/data/Pinfold/config.json"},
    {"relative_xdg_is_ignored", nullptr, "data", "/home/u", "/w", "/home/u/.local/share/Tarrow",
     "/home/u/.local/share/Pinfold/config.json"},
    {"tarrow_home_tilde", "~/x", "/data", "/home/u", "/w", "/home/u/x",
     "/home/u/Pinfold/config.json"},
    {"tarrow_home_just_tilde", "~", nullptr, "/home/u/", "/w", "/home/u",
     "/home/Pinfold/config.json"},
    {"tarrow_home_absolute_trailing_slash", "/srv/t/", nullptr, "/home/u", "/w", "/srv/t",
     "/srv/Pinfold/config.json"},
    {"tarrow_home_relative", "state", nullptr, "/home/u", "/work/dir", "/work/dir/state",
     "/work/dir/Pinfold/config.json"},
    {"tilde_in_the_middle_is_kept", "/a/~/b", nullptr, "/home/u", "/w", "/a/~/b",
     "/a/~/Pinfold/config.json"},
};

INSTANTIATE_TEST_SUITE_P(Environments, Folder, testing::ValuesIn(folderCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ExpandTilde, OtherUsersHomeAndUnknownUsers) {
    EXPECT_EQ(expandTilde("~root/x", "/home/u"), "/root/x");
    EXPECT_EQ(expandTilde("~no-such-user-here/x", "/home/u"), "~no-such-user-here/x");
}

}  // namespace
}  // namespace tarrow
