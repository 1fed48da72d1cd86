// The helper's identity: its digest, whether it is installed, where the bundled one is.

#include "app/controller/helper_identity.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <filesystem>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using tarrow::test::TempFolder;
using tarrow::test::writeFile;

namespace tarrow::app {
namespace {

TEST(Sha256, KnownDigestsAndUnreadableFiles) {
    TempFolder s;
    writeFile(s / "empty", "");
    writeFile(s / "big", std::string(200000, 'a'));  // read in several pieces
    std::filesystem::create_directory(s / "folder");
    ASSERT_EQ(::mkfifo((s / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(sha256(s / "empty").value_or(""),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    // printf 'a%.0s' $(seq 200000) | sha256sum
    EXPECT_EQ(sha256(s / "big").value_or(""),
              "2287d207f24a941ff3b56c04c8a25ad56b63e3023207b3bb5b4ac0c9869d74be");
    EXPECT_FALSE(sha256(s / "missing"));
    EXPECT_FALSE(sha256(s / "folder"));
    EXPECT_FALSE(sha256(s / "fifo")) << "and does not hang";
}

TEST(InstalledHelperHash, HashesAgainOnlyWhenTheFileChanged) {
    TempFolder s;
    const std::string path = s / "helper";
    std::optional<HelperHash> cache;
    EXPECT_EQ(installedHelperHash(cache, path), std::nullopt) << "no file";
    writeFile(path, "abc");
    timeval then[2] = {{1700000000, 0}, {1700000000, 0}};
    ::utimes(path.c_str(), then);
    EXPECT_EQ(installedHelperHash(cache, path), sha256(path).value_or(""));
    cache->hash = "remembered";
    EXPECT_EQ(installedHelperHash(cache, path), "remembered") << "unchanged: not read again";

    writeFile(path, "abd");  // same size, new time
    EXPECT_EQ(installedHelperHash(cache, path), sha256(path).value_or(""));

    cache->hash = "remembered";
    writeFile(path, "abe");
    ::utimes(path.c_str(), then);  // same size and the old time, as cp -p leaves it
    EXPECT_EQ(installedHelperHash(cache, path), sha256(path).value_or(""));
}

TEST(HelperInstalled, NeedsBothFiles) {
    TempFolder s;
    writeFile(s / "helper", "x");
    writeFile(s / "service", "x");
    EXPECT_TRUE(helperInstalled(s / "helper", s / "service"));
    EXPECT_FALSE(helperInstalled(s / "helper", s / "none"));
    EXPECT_FALSE(helperInstalled(s / "none", s / "service"));
}

// The helper is found beside the program in a build tree and under libexec/tarrow when
// installed under a prefix; the one beside wins, and a folder of that name is no helper.
TEST(BundledHelper, BesideTheProgramOrUnderLibexec) {
    struct Case {
        std::vector<std::string> files, folders;
        std::string found;
    };
    const Case cases[] = {
        {{"build/bin/tarrow-helper"}, {}, "build/bin/tarrow-helper"},
        {{"usr/libexec/tarrow/tarrow-helper"}, {}, "usr/libexec/tarrow/tarrow-helper"},
        {{"usr/bin/tarrow-helper", "usr/libexec/tarrow/tarrow-helper"},
         {},
         "usr/bin/tarrow-helper"},
        {{"usr/libexec/tarrow/tarrow-helper"},
         {"usr/bin/tarrow-helper"},
         "usr/libexec/tarrow/tarrow-helper"},
        {{}, {"usr/bin"}, "usr/bin/tarrow-helper"},  // none: named where it was expected
    };
    for (const Case& c : cases) {
        TempFolder s;
        for (const auto& file : c.files) writeFile(s / file, "helper");
        for (const auto& folder : c.folders) std::filesystem::create_directories(s / folder);
        const std::string program =
            s / (c.found.starts_with("build") ? "build/bin/tarrow" : "usr/bin/tarrow");
        EXPECT_EQ(bundledHelperFor(program), s / c.found) << c.found;
    }
}

}  // namespace
}  // namespace tarrow::app
