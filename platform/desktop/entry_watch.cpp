#include "platform/desktop/entry_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include "common/status.h"

namespace tarrow::platform {

EntryWatch::EntryWatch(const std::string& folder, std::string name, std::function<void()> arrived,
                       QObject* parent)
    : QObject(parent), name_(std::move(name)), arrived_(std::move(arrived)) {
    fd_ = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    // Written in place (closed after writing) or renamed over, as an atomic write does.
    if (fd_ < 0 || ::inotify_add_watch(fd_, folder.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO) < 0) {
        problem_ = Status::lastError("watch", folder).text();
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &EntryWatch::readEvents);
}

EntryWatch::~EntryWatch() {
    notifier_.reset();
    if (fd_ >= 0) ::close(fd_);
}

void EntryWatch::readEvents() {
    alignas(inotify_event) char buffer[4096];
    bool seen = false;
    ssize_t n;
    while ((n = ::read(fd_, buffer, sizeof buffer)) > 0) {
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->len && name_ == event->name) seen = true;
        }
    }
    if (seen && arrived_) arrived_();
}

}  // namespace tarrow::platform
