#pragma once
// Whole-file writes handed to one background thread, so that a slow disk never stalls
// the thread that asks for them. Per path only the latest bytes count: a write asked
// for while an older one of the same path still waits replaces it, and nothing older
// is ever written after something newer.

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "common/file_io.h"
#include "common/status.h"

namespace tarrow {

// One whole file to write by rename. `done` hears how it went; a write replaced by a
// newer one of the same path before it started is never done and never heard of.
struct FileWrite {
    std::string path;
    std::string bytes;
    AtomicWrite how;
    std::function<void(const Status&)> done;
};

// Where a file's bytes go: straight to the disk (`writeNow`) or to a FileWriter.
using WriteFile = std::function<void(FileWrite)>;

// Writes at once on the calling thread, then calls `done`.
void writeNow(FileWrite write);

class FileWriter {
  public:
    // The file-system step; tests stand in one that blocks or fails on demand.
    using Step = std::function<Status(const std::string& path, std::string_view bytes,
                                      const AtomicWrite& how)>;
    // Runs a `done` where its owner wants it (the app: its main thread). Left empty,
    // `done` runs on the writer thread.
    using Post = std::function<void(std::function<void()>)>;

    // `gap`: the least time from the start of one write to the start of the next, so a
    // burst of changes makes a few writes (at most ten a second by default), the last
    // with the last change. A change waits at most the gap or the write under way.
    explicit FileWriter(Post post = {}, Step step = writeAtomically,
                        std::chrono::milliseconds gap = std::chrono::milliseconds{100});
    // Finishes what is queued, without a limit, unless `finish` already gave up.
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Queues the write; the caller never waits for the disk.
    void write(FileWrite write);
    // Writes what is queued at once (no gap) and waits for it, at most `limit`. False when
    // a write is still going after that: the thread is then left to itself, and nothing
    // it finishes later is heard of.
    bool finish(std::chrono::milliseconds limit);
    // True while a write is queued or under way; lock-free, so a signal handler may ask.
    const std::atomic<bool>& busy() const;

  private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

}  // namespace tarrow
