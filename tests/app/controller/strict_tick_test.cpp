// A strict lock and the wait before "Okay, Now", through the controller's tick.

#include <gtest/gtest.h>

#include "app/model/state_folder.h"
#include "common/file_io.h"
#include "tests/support/files.h"
#include "tests/support/rig.h"

namespace tarrow::test {
namespace {

const std::string names = "youtu.be\nwww.youtu.be\nm.youtu.be\n";

TEST(StrictTick, OffIsRefusedUntilTheEndAndTheHelperIsAsked) {
    Rig rig;
    rig.clock = at("2026-12-07T14:00:00Z");
    rig.start(configWith({"youtu.be"}, false));
    rig.command("lock 2");
    rig.tick();
    const std::string strict = fileIn(folderOf(rig.paths.request), "strict-lock");
    EXPECT_EQ(readFile(strict), "until 2026-12-07T14:02:00Z\n" + names);
    rig.command("off");
    rig.tick();
    EXPECT_EQ(rig.request(), names);
    EXPECT_EQ(rig.countPrefix("okay, now refused: a strict lock holds until"), 1);
    rig.advance(120);
    rig.tick();
    EXPECT_EQ(rig.request(), "");
    EXPECT_EQ(readFile(strict), "");
    EXPECT_FALSE(rig.store->config().strictUntil);
}

TEST(StrictTick, TheWaitOpensAfterAMinuteNotBeforeAndASecondOffCancels) {
    for (bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancelled" : "waited");
        Rig rig;
        Config config = configWith({"youtu.be"}, true);
        config.waitToOpen = true;
        rig.start(config);
        rig.command("off");
        rig.tick();
        EXPECT_EQ(rig.store->status(), "Opening in 1:00 \u2013 Cancel");
        rig.advance(30);
        if (cancel) rig.command("off");
        rig.tick();
        rig.advance(29);
        rig.tick();
        EXPECT_EQ(rig.request(), names);
        rig.advance(1);
        rig.tick();
        EXPECT_EQ(rig.request(), cancel ? names : "");
    }
}

}  // namespace
}  // namespace tarrow::test
