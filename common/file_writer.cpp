#include "common/file_writer.h"

#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace tarrow {

void writeNow(FileWrite write) {
    const Status written = writeAtomically(write.path, write.bytes, write.how);
    if (write.done) write.done(written);
}

struct FileWriter::Shared {
    Post post;
    Step step;
    std::chrono::milliseconds gap;

    std::mutex mutex;
    std::condition_variable wake;  // a write was queued, or finish or stop was asked
    std::condition_variable idle;  // nothing is queued or under way any more
    std::vector<FileWrite> queue;  // at most one per path, in the order first asked
    bool writing = false;
    bool hurry = false;  // finish: no gap
    bool stopping = false;
    bool abandoned = false;  // finish gave up: nothing more is done or heard
    std::atomic<bool> busy{false};
    std::thread thread;

    void run();
};

void FileWriter::Shared::run() {
    using Clock = std::chrono::steady_clock;
    Clock::time_point next{};  // the earliest start of the next write
    std::unique_lock lock(mutex);
    while (true) {
        wake.wait(lock, [&] { return stopping || !queue.empty(); });
        if (queue.empty()) return;
        wake.wait_until(lock, next, [&] { return hurry || stopping; });
        FileWrite job = std::move(queue.front());
        queue.erase(queue.begin());
        writing = true;
        lock.unlock();
        // Counted from the start: a write slower than the gap adds no wait of its own.
        next = Clock::now() + gap;
        const Status written = step(job.path, job.bytes, job.how);
        lock.lock();
        // Heard before the writer counts as idle, so that whoever waited in `finish` can
        // take the results in.
        if (!abandoned && job.done) {
            if (post) {
                post([done = std::move(job.done), written] { done(written); });
            } else {
                lock.unlock();
                job.done(written);
                lock.lock();
            }
        }
        writing = false;
        if (queue.empty()) {
            busy = false;
            idle.notify_all();
        }
    }
}

FileWriter::FileWriter(Post post, Step step, std::chrono::milliseconds gap)
    : shared_(std::make_shared<Shared>()) {
    shared_->post = std::move(post);
    shared_->step = std::move(step);
    shared_->gap = gap;
    // The thread takes no signals: a handler that waits for the writer must never run
    // on the writer itself.
    sigset_t all, before;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &before);
    shared_->thread = std::thread([shared = shared_] { shared->run(); });
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

FileWriter::~FileWriter() {
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->abandoned) return;
        shared_->stopping = true;
    }
    shared_->wake.notify_one();
    shared_->thread.join();
}

void FileWriter::write(FileWrite write) {
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->abandoned) return;
        auto same =
            std::find_if(shared_->queue.begin(), shared_->queue.end(),
                         [&](const FileWrite& queued) { return queued.path == write.path; });
        if (same != shared_->queue.end()) {
            *same = std::move(write);
        } else {
            shared_->queue.push_back(std::move(write));
        }
        shared_->busy = true;
    }
    shared_->wake.notify_one();
}

bool FileWriter::finish(std::chrono::milliseconds limit) {
    std::unique_lock lock(shared_->mutex);
    if (shared_->abandoned) return false;
    shared_->hurry = true;
    shared_->wake.notify_one();
    const bool done = shared_->idle.wait_for(
        lock, limit, [&] { return shared_->queue.empty() && !shared_->writing; });
    shared_->hurry = false;
    if (done) return true;
    shared_->abandoned = true;
    shared_->stopping = true;
    shared_->queue.clear();
    shared_->thread.detach();
    return false;
}

const std::atomic<bool>& FileWriter::busy() const {
    return shared_->busy;
}

}  // namespace tarrow
