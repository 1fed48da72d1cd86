// The app's file writer loses no change and never holds quitting up: a burst during a
// write becomes one write of the latest (other files keep their place), and a write that
// hangs (a dead network folder) holds quitting for the limit only, unheard of after.
// A stand-in file-system step records each write and can be held shut.

#include "common/file_writer.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace tarrow {
namespace {

using namespace std::chrono_literals;
using Written = std::vector<std::pair<std::string, std::string>>;

struct Disk {
    std::mutex mutex;
    std::condition_variable changed;
    bool shut = true;
    int entered = 0;
    Written written;

    // Shared, so that a write finishing after the test is not left without its disk.
    static FileWriter::Step step(const std::shared_ptr<Disk>& disk) {
        return [disk](const std::string& path, std::string_view bytes, const AtomicWrite&) {
            std::unique_lock lock(disk->mutex);
            ++disk->entered;
            disk->changed.notify_all();
            disk->changed.wait(lock, [&] { return !disk->shut; });
            disk->written.emplace_back(path, bytes);
            return Status();
        };
    }
    void open() {
        std::lock_guard lock(mutex);
        shut = false;
        changed.notify_all();
    }
    void waitUntilEntered() {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return entered > 0; });
    }
};

TEST(FileWriter, ABurstBecomesOneWriteOfTheLatestAndAHangIsLeft) {
    for (const bool hangs : {false, true}) {
        auto disk = std::make_shared<Disk>();
        auto heard = std::make_shared<std::vector<std::string>>();
        const auto write = [&](std::string path, std::string bytes) {
            return FileWrite{std::move(path), bytes, {}, [heard, bytes](const Status&) {
                                 heard->push_back(bytes);
                             }};
        };
        {
            FileWriter writer({}, Disk::step(disk), 0ms);
            writer.write(write("config", "0"));
            disk->waitUntilEntered();
            for (int i = 1; i <= 1000 && !hangs; ++i) {
                writer.write(write("config", std::to_string(i)));
                if (i == 1) writer.write(write("state", "s"));
            }
            if (!hangs) disk->open();
            EXPECT_EQ(writer.finish(hangs ? 20ms : 10s), !hangs);
        }  // nor does the destructor wait for a hanging write
        disk->open();
        const std::vector<std::string> all = {"0", "1000", "s"};
        EXPECT_EQ(*heard, hangs ? std::vector<std::string>() : all);
        if (!hangs) {
            EXPECT_EQ(disk->written,
                      (Written{{"config", "0"}, {"config", "1000"}, {"state", "s"}}));
        }
    }
}

}  // namespace
}  // namespace tarrow
