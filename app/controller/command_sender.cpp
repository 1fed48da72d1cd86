#include "app/controller/command_sender.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "app/model/state_folder.h"
#include "common/file_io.h"
#include "common/status.h"
#include "platform/single_instance.h"

namespace tarrow::app {

namespace {

using Clock = std::chrono::steady_clock;

// A descriptor closed when it goes out of scope.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

// Waits for the lock behind an earlier sender, which holds it for at most its own wait.
Status queue(int fd, const std::string& path, Clock::time_point deadline) {
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK) return Status::lastError("lock", path);
        if (Clock::now() >= deadline) return Status::failure("lock", path, EWOULDBLOCK);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

}  // namespace

SendResult sendCommand(const SendSetup& setup, std::string_view text) {
    if (!platform::instanceRunning(setup.lockPath)) return {Sent::notRunning, {}};
    const std::string lockPath = fileIn(setup.folder, "command.lock");
    Fd lock{::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600)};
    if (lock.fd < 0) return {Sent::failed, Status::lastError("open", lockPath).text()};
    if (Status queued =
            queue(lock.fd, lockPath, Clock::now() + 2 * setup.wait + std::chrono::seconds(1));
        !queued.ok())
        return {Sent::failed, queued.text()};

    // Watching before writing, so that the running copy cannot take the command unseen.
    Fd watch{::inotify_init1(IN_CLOEXEC | IN_NONBLOCK)};
    if (watch.fd < 0 || ::inotify_add_watch(watch.fd, setup.folder.c_str(),
                                            IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO) < 0)
        return {Sent::failed, Status::lastError("watch", setup.folder).text()};
    const std::string command = fileIn(setup.folder, "command");
    AtomicWrite how;
    how.mode = 0600;
    how.sync = false;  // read within moments, and worthless after a crash
    if (Status written = writeAtomically(command, std::string(text) + "\n", how); !written.ok())
        return {Sent::failed, written.text()};

    const Clock::time_point deadline = Clock::now() + setup.wait;
    bool taken = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd ready{watch.fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) break;
        ssize_t n = ::read(watch.fd, buffer, sizeof buffer);
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const std::string_view name = event->len ? event->name : "";
            if (name == "command" && (event->mask & (IN_DELETE | IN_MOVED_FROM))) taken = true;
            // The copy takes the command first in its pass and writes the state last.
            if (taken && !setup.answer) return {Sent::answered, {}};
            if (taken && name == "state" && (event->mask & IN_MOVED_TO)) {
                Result<std::string> state = readRegularFile(fileIn(setup.folder, "state"));
                if (state) return {Sent::answered, firstLine(*state)};
            }
        }
    }
    // Not taken: a command that answers nobody must not run later by surprise.
    if (!taken && setup.answer) ::unlink(command.c_str());
    return {Sent::noAnswer, {}};
}

}  // namespace tarrow::app
