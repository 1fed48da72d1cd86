// A state folder on a read-only mount: nothing can be written, moved or created there.
// Needs root for a private mount namespace; skipped otherwise.

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "app/model/config_json.h"
#include "app/model/store.h"
#include "model_files.h"

namespace tarrow {
namespace {

using namespace testing_files;

// Makes the folder read-only for this process only, until destroyed.
class ReadOnly {
  public:
    explicit ReadOnly(const std::string& folder) : folder_(folder) {
        if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0) return;
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return;
        if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0) return;
        bound_ = true;
        made_ = ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                        nullptr) == 0;
    }
    ~ReadOnly() {
        if (bound_) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    bool made() const { return made_; }

  private:
    std::string folder_;
    bool bound_ = false;
    bool made_ = false;
};

TEST(StoreReadOnly, ChangesStayInMemoryAndTheFileStaysAsItWas) {
    TempFolder dir;
    Config c({Site::named("example.com")}, {});
    const std::string text = encodeConfig(c);
    put(dir / "config.json", text);
    ReadOnly readOnly(dir.path());
    if (!readOnly.made()) GTEST_SKIP() << "needs root and mount namespaces";

    Store store(dir.path());
    EXPECT_EQ(store.config(), c);
    int calls = 0;
    store.changed = [&] { ++calls; };
    c.manualOn = true;
    store.setConfig(c);
    EXPECT_EQ(store.config(), c);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(store.save().ok());
    EXPECT_EQ(contents(dir / "config.json"), text);
}

TEST(StoreReadOnly, UnreadableFileIsKeptWhenItCannotBeMoved) {
    TempFolder dir;
    put(dir / "config.json", "{broken");
    ReadOnly readOnly(dir.path());
    if (!readOnly.made()) GTEST_SKIP() << "needs root and mount namespaces";

    std::vector<std::string> lines;
    Store store(dir.path(), [&](std::string_view line) { lines.emplace_back(line); });
    EXPECT_EQ(store.config(), Config::initial());
    EXPECT_EQ(contents(dir / "config.json"), "{broken");
    EXPECT_FALSE(exists(dir / "config.broken.json"));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "config.json unreadable, could not move it aside: cannot move " +
                            dir / "config.json" + ": Read-only file system");
}

}  // namespace
}  // namespace tarrow
