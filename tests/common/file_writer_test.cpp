// The app's file writer loses no change and never holds quitting up: a burst during a
// write becomes one write of the latest, other files keep their place, and a write that
// hangs holds quitting for the limit only. A stand-in file-system step records each
// write and can be held shut: no sleeps, no disk.

#include "common/file_writer.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace tarrow {
namespace {

using namespace std::chrono_literals;
using Written = std::vector<std::pair<std::string, std::string>>;

// The stand-in step: records path and bytes, and while shut, waits inside the write.
struct Disk {
    std::mutex mutex;
    std::condition_variable changed;
    bool shut = false;
    int entered = 0;
    Written written;

    FileWriter::Step step() {
        return [this](const std::string& path, std::string_view bytes, const AtomicWrite&) {
            std::unique_lock lock(mutex);
            ++entered;
            changed.notify_all();
            changed.wait(lock, [&] { return !shut; });
            written.emplace_back(path, bytes);
            return Status();
        };
    }
    void close() {
        std::lock_guard lock(mutex);
        shut = true;
    }
    void open() {
        std::lock_guard lock(mutex);
        shut = false;
        changed.notify_all();
    }
    void waitUntilEntered(int n) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return entered >= n; });
    }
};

FileWrite fileWrite(std::string path, std::string bytes,
                    std::vector<std::string>* heard = nullptr) {
    FileWrite write{std::move(path), bytes, {}, {}};
    if (heard) write.done = [heard, bytes](const Status&) { heard->push_back(bytes); };
    return write;
}

// While one write hangs, a thousand changes of the same file become one more write
// with the last of them; another file keeps its place in the queue.
TEST(FileWriter, ABurstDuringAWriteBecomesOneWriteOfTheLatest) {
    Disk disk;
    std::vector<std::string> heard;
    {
        FileWriter writer({}, disk.step(), 0ms);
        disk.close();
        writer.write(fileWrite("config", "0", &heard));
        disk.waitUntilEntered(1);
        for (int i = 1; i <= 1000; ++i) {
            writer.write(fileWrite("config", std::to_string(i), &heard));
            if (i == 1) writer.write(fileWrite("state", "s", &heard));
        }
        EXPECT_TRUE(writer.busy());
        disk.open();
        EXPECT_TRUE(writer.finish(10s));
        EXPECT_FALSE(writer.busy());
    }
    EXPECT_EQ(disk.written, (Written{{"config", "0"}, {"config", "1000"}, {"state", "s"}}));
    EXPECT_EQ(heard, (std::vector<std::string>{"0", "1000", "s"}))
        << "replaced writes are not heard";
}

// A write that hangs (a dead network folder) holds quitting up for the limit only; what
// it finishes later is not heard of, and the writer is not waited for again.
TEST(FileWriter, FinishGivesUpOnAHangingWrite) {
    auto disk = std::make_shared<Disk>();
    auto heard = std::make_shared<std::vector<std::string>>();
    {
        FileWriter writer(
            {},
            [disk](const std::string& p, std::string_view b, const AtomicWrite& h) {
                return disk->step()(p, b, h);
            },
            0ms);
        disk->close();
        writer.write(fileWrite("config", "hangs", heard.get()));
        disk->waitUntilEntered(1);
        EXPECT_FALSE(writer.finish(20ms));
        EXPECT_TRUE(writer.busy());
    }  // the destructor does not wait either
    disk->open();
    EXPECT_TRUE(heard->empty());
}

}  // namespace
}  // namespace tarrow
