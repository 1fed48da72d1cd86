#include "helper/daemon_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>

#include <asio.hpp>

namespace tarrow {

namespace {

// Entry changes in the folder (a write, a rename into place, a removal), and the
// folder's own end. Attribute changes are left to the timer: the app touches the
// request every few seconds, and that alone asks for no pass.
constexpr uint32_t watchedEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                   IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr uint32_t folderGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED;

}  // namespace

struct FolderWatch::State : std::enable_shared_from_this<State> {
    State(asio::io_context& io, std::string folder, std::function<void()> changed)
        : descriptor(io), folder(std::move(folder)), changed(std::move(changed)) {}

    asio::posix::stream_descriptor descriptor;
    std::string folder;
    std::function<void()> changed;
    int watch = -1;
    bool waiting = false;

    void wait() {
        if (waiting || !descriptor.is_open()) return;
        waiting = true;
        descriptor.async_wait(asio::posix::stream_descriptor::wait_read,
                              [weak = weak_from_this()](const std::error_code& error) {
                                  auto self = weak.lock();
                                  if (!self || error) return;
                                  self->waiting = false;
                                  self->drain();
                                  self->wait();
                              });
    }

    // Reads every event that is queued, drops the watch when the folder went away, and
    // reports the whole batch as one change.
    void drain() {
        alignas(inotify_event) char buffer[8192];
        bool any = false;
        while (true) {
            ssize_t n = ::read(descriptor.native_handle(), buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            any = true;
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->wd == watch && (event->mask & folderGone)) {
                    if (!(event->mask & IN_IGNORED))
                        ::inotify_rm_watch(descriptor.native_handle(), watch);
                    watch = -1;
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        if (any) changed();
    }
};

FolderWatch::FolderWatch(asio::io_context& io, std::string folder, std::function<void()> changed)
    : state_(std::make_shared<State>(io, std::move(folder), std::move(changed))) {
    int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd >= 0) state_->descriptor.assign(fd);
}

FolderWatch::~FolderWatch() {
    std::error_code ignored;
    state_->descriptor.close(ignored);
}

bool FolderWatch::rewatch() {
    if (state_->watch >= 0) return true;
    if (!state_->descriptor.is_open()) return false;
    int watch = ::inotify_add_watch(state_->descriptor.native_handle(), state_->folder.c_str(),
                                    watchedEvents);
    if (watch < 0) return false;
    state_->watch = watch;
    state_->wait();
    return true;
}

bool FolderWatch::armed() const {
    return state_->watch >= 0;
}

}  // namespace tarrow
