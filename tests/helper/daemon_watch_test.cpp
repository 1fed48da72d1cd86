#include "helper/daemon_watch.h"

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>
#include <asio.hpp>

#include "common/file_io.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

using namespace std::chrono_literals;

struct Watched {
    test::TempFolder temp;
    std::string folder = temp / "request";
    asio::io_context io;
    int changes = 0;
    FolderWatch watch{io, folder, [this] { ++changes; }};

    // Runs the loop until it has been quiet for a moment.
    void settle() {
        io.restart();
        io.run_for(150ms);
    }
};

TEST(FolderWatch, SeesWritesRenamesAndRemovalsInTheFolder) {
    Watched w;
    EXPECT_FALSE(w.watch.rewatch());  // the folder does not exist yet
    ASSERT_EQ(::mkdir(w.folder.c_str(), 0755), 0);
    ASSERT_TRUE(w.watch.rewatch());
    EXPECT_TRUE(w.watch.armed());

    const std::string file = w.folder + "/blocked-hosts";
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"atomic write", [&] { ASSERT_TRUE(writeAtomically(file, "a.example\n").ok()); }},
        {"write in place",
         [&] {
             FILE* f = std::fopen(file.c_str(), "w");
             std::fputs("b.example\n", f);
             std::fclose(f);
         }},
        {"replaced by a link",
         [&] {
             std::filesystem::remove(file);
             std::filesystem::create_symlink("/etc/passwd", file);
         }},
        {"removed", [&] { std::filesystem::remove(file); }},
    };
    for (const auto& [what, step] : steps) {
        w.changes = 0;
        step();
        w.settle();
        EXPECT_GE(w.changes, 1) << what;
    }
    // A touch alone is left to the timer.
    ASSERT_TRUE(writeAtomically(file, "c.example\n").ok());
    w.settle();
    w.changes = 0;
    ASSERT_EQ(::utimes(file.c_str(), nullptr), 0);
    w.settle();
    EXPECT_EQ(w.changes, 0);
}

TEST(FolderWatch, BurstIsCoalesced) {
    Watched w;
    ASSERT_EQ(::mkdir(w.folder.c_str(), 0755), 0);
    ASSERT_TRUE(w.watch.rewatch());
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(writeAtomically(w.folder + "/blocked-hosts", std::to_string(i) + ".example\n",
                                    AtomicWrite{0644, {}, {}, ".tmp", false})
                        .ok());
    w.settle();
    EXPECT_GE(w.changes, 1);
    EXPECT_LT(w.changes, 10);  // 800 events, read in a few batches
}

TEST(FolderWatch, DroppedWhenTheFolderGoesAndArmedAgainWhenItReturns) {
    for (bool moved : {false, true}) {
        Watched w;
        ASSERT_EQ(::mkdir(w.folder.c_str(), 0755), 0);
        ASSERT_TRUE(w.watch.rewatch());
        if (moved)
            std::filesystem::rename(w.folder, (w.temp / "elsewhere"));
        else
            std::filesystem::remove_all(w.folder);
        w.settle();
        EXPECT_FALSE(w.watch.armed()) << moved;
        EXPECT_GE(w.changes, 1);

        ASSERT_EQ(::mkdir(w.folder.c_str(), 0755), 0);
        ASSERT_TRUE(w.watch.rewatch());
        w.changes = 0;
        ASSERT_TRUE(writeAtomically(w.folder + "/blocked-hosts", "x.example\n").ok());
        w.settle();
        EXPECT_GE(w.changes, 1) << moved;
        if (moved) {  // the old folder, now elsewhere, is no longer watched
            w.changes = 0;
            ASSERT_TRUE(writeAtomically((w.temp / "elsewhere/blocked-hosts"), "y.example\n").ok());
            w.settle();
            EXPECT_EQ(w.changes, 0);
        }
    }
}

}  // namespace
}  // namespace tarrow
