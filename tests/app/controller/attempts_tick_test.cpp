// The tick writes the counted attempts at most once, only when they changed, and gives
// the Sites tab the week's counts; "forget" empties the file at once.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/rig.h"

namespace tarrow::app {
namespace {

using test::configWith;
using test::Rig;

ino_t inode(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST(AttemptsTick, WrittenOncePerChangeAndShownForTheWeek) {
    Rig rig;
    rig.start(configWith({"youtube.com", "reddit.com"}, true));
    const std::string file = rig.paths.folder + "/attempts.json";
    rig.tick();
    EXPECT_EQ(inode(file), 0u) << "no attempt, no file";

    Attempts& attempts = rig.tarrow->attempts();
    for (int i = 0; i < 1000; ++i)
        attempts.count("youtube.com", rig.clock - std::chrono::seconds(i), rig.tarrow->calendar());
    attempts.count("reddit.com", rig.clock, rig.tarrow->calendar());
    EXPECT_EQ(inode(file), 0u) << "counting alone writes nothing";
    rig.tick();
    const ino_t first = inode(file);
    ASSERT_NE(first, 0u);
    EXPECT_EQ(rig.store->weekAttempts(), (SiteAttempts{{"reddit.com", 1}, {"youtube.com", 50}}));

    rig.advance(5);
    rig.tick();
    EXPECT_EQ(inode(file), first) << "nothing changed: not written again";

    rig.advance(7 * 86400);  // a week on: the counts stay in the file, not in the week
    rig.tick();
    EXPECT_TRUE(rig.store->weekAttempts().empty());
    EXPECT_EQ(Attempts(rig.paths.folder).counts().size(), 1u);

    rig.command("forget");
    rig.tick();
    EXPECT_TRUE(Attempts(rig.paths.folder).counts().empty());
    EXPECT_EQ(rig.count("command: forget"), 1);
}

}  // namespace
}  // namespace tarrow::app
