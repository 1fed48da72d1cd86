// The request writer: what it writes, touches and leaves alone.

#include "app/controller/request_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

using tarrow::test::readFile;
using tarrow::test::TempFolder;
using tarrow::test::writeFile;

namespace tarrow::app {
namespace {

// The outcome of a write, or none when it failed.
std::optional<RequestWriter::Outcome> outcome(const Result<RequestWriter::Outcome>& result) {
    return result ? std::optional<RequestWriter::Outcome>(*result) : std::nullopt;
}

TEST(RequestWriter, WritesTouchesAndLeavesAlone) {
    TempFolder s;
    const std::string path = s / "home/request/blocked-hosts";
    RequestWriter writer(path);
    EXPECT_FALSE(writer.last().has_value()) << "no file yet";
    EXPECT_EQ(outcome(writer.update("a.example\n")), RequestWriter::Outcome::written);
    EXPECT_EQ(readFile(path), "a.example\n") << "folders are created on demand";
    timeval old[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimes(path.c_str(), old);
    EXPECT_EQ(outcome(writer.update("a.example\n")), RequestWriter::Outcome::touched);
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_GT(st.st_mtime, 1000000000);
    EXPECT_EQ(outcome(writer.update("")), RequestWriter::Outcome::written);
    EXPECT_EQ(outcome(writer.update("")), RequestWriter::Outcome::unchanged);
}

TEST(RequestWriter, AFileRemovedOrCutShortIsWrittenAgain) {
    TempFolder s;
    const std::string path = s / "blocked-hosts";
    RequestWriter writer(path);
    ASSERT_EQ(outcome(writer.update("a.example\n")), RequestWriter::Outcome::written);
    struct Damage {
        const char* what;
        std::function<void()> damage;
    };
    for (const Damage& d : std::vector<Damage>{{"removed", [&] { std::filesystem::remove(path); }},
                                               {"emptied", [&] { writeFile(path, ""); }},
                                               {"replaced by a folder", [&] {
                                                    std::filesystem::remove(path);
                                                    std::filesystem::create_directory(path);
                                                }}}) {
        SCOPED_TRACE(d.what);
        d.damage();
        Result<RequestWriter::Outcome> result = writer.update("a.example\n");
        if (std::filesystem::is_directory(path)) {
            EXPECT_FALSE(result) << "said, not hidden";
            std::filesystem::remove(path);
            result = writer.update("a.example\n");
        }
        EXPECT_EQ(outcome(result), RequestWriter::Outcome::written);
        EXPECT_EQ(readFile(path), "a.example\n");
    }
}

TEST(RequestWriter, RemembersWhatTheFileHeldAtStart) {
    TempFolder s;
    writeFile(s / "utf8", "a.example\n");
    writeFile(s / "latin1", "caf\xe9.example\n");
    EXPECT_EQ(RequestWriter(s / "utf8").last(), "a.example\n");
    EXPECT_FALSE(RequestWriter(s / "latin1").last().has_value());
    RequestWriter again(s / "utf8");
    EXPECT_EQ(outcome(again.update("a.example\n")), RequestWriter::Outcome::touched);
}

TEST(RequestWriter, AFailureSaysWhyAndIsTriedAgain) {
    TempFolder s;
    writeFile(s / "file", "x");
    RequestWriter writer(s / "file" + "/request/blocked-hosts");
    for (int i = 0; i < 2; ++i) {
        Result<RequestWriter::Outcome> result = writer.update("a.example\n");
        ASSERT_FALSE(result);
        EXPECT_EQ(result.status().error(), ENOTDIR) << result.status().text();
    }
    EXPECT_FALSE(writer.last().has_value());
}

TEST(RequestWriter, EmptyingCreatesNothingWhereThereIsNoFolder) {
    TempFolder s;
    RequestWriter writer(s / "missing/blocked-hosts");
    EXPECT_TRUE(writer.empty().ok()) << "no file, so nothing is blocked";
    EXPECT_FALSE(test::exists(s / "missing"));
}

}  // namespace
}  // namespace tarrow::app
