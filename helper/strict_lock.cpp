#include "helper/strict_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <unordered_set>

#include "common/file_io.h"
#include "common/strict_lock_text.h"
#include "helper/daemon.h"
#include "helper/request.h"

namespace tarrow {

namespace {

using std::chrono::seconds;
using std::chrono::sys_seconds;

// The lock file's text when it can be trusted; otherwise why not.
struct LockRead {
    std::optional<std::string> text;
    std::string problem;  // empty when the file is missing or trusted
};

LockRead readLockFile(const std::string& path, uid_t owner) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return {};
        return {std::nullopt, errno == ELOOP ? "a link" : std::strerror(errno)};
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) return {std::nullopt, std::strerror(errno)};
    if (!S_ISREG(st.st_mode)) return {std::nullopt, "not a regular file"};
    if (st.st_uid != owner) return {std::nullopt, "owned by uid " + std::to_string(st.st_uid)};
    if (st.st_mode & (S_IWGRP | S_IWOTH)) return {std::nullopt, "writable by others"};
    if (st.st_size > maxLockFileSize) return {std::nullopt, "too big"};
    std::string text(static_cast<size_t>(st.st_size), '\0');
    size_t have = 0;
    while (have < text.size()) {
        ssize_t n = ::read(fd, text.data() + have, text.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        have += static_cast<size_t>(n);
    }
    text.resize(have);
    return {std::move(text), {}};
}

std::string count(const std::vector<std::string>& names) {
    return std::to_string(names.size()) + (names.size() == 1 ? " host name" : " host names");
}

}  // namespace

StrictClock systemStrictClock() {
    return StrictClock{
        [] { return std::chrono::floor<seconds>(std::chrono::system_clock::now()); },
        [] {
            timespec t{};
            ::clock_gettime(CLOCK_BOOTTIME, &t);
            return seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
        },
    };
}

std::vector<std::string> withLocked(const std::vector<std::string>& requested,
                                    const std::vector<std::string>& locked) {
    std::vector<std::string> names = requested;
    std::unordered_set<std::string_view> have(requested.begin(), requested.end());
    for (const std::string& name : locked)
        if (!have.count(name)) names.push_back(name);
    return names;
}

StrictKeeper::StrictKeeper(std::string lockPath, uid_t owner, StrictClock clock)
    : path_(std::move(lockPath)), owner_(owner), clock_(std::move(clock)) {}

const std::vector<std::string>& StrictKeeper::update(const std::string& requestPath, uid_t uid,
                                                     const Log& log) {
    if (!loaded_) load(log);
    loaded_ = true;
    struct stat st {};
    if (lock_ && saved_ && ::lstat(path_.c_str(), &st) != 0 && errno == ENOENT) {
        log("strict lock file removed, the strict lock is ended");
        lock_.reset();
        saved_.reset();
    }
    const sys_seconds wall = clock_.wall();
    followClock(wall, log);
    take(requestPath, uid, wall, log);
    if (lock_ && lock_->until <= wall) {
        log("strict lock over");
        lock_.reset();
    }
    keepFile(log);
    return lock_ ? lock_->names : none_;
}

void StrictKeeper::load(const Log& log) {
    LockRead read = readLockFile(path_, owner_);
    std::optional<StrictLockText> parsed;
    if (read.text) {
        parsed = parseStrictLock(*read.text);
        if (!parsed || !parsed->taken) read.problem = "not readable";
    }
    std::vector<std::string> names;
    if (parsed && read.problem.empty()) {
        names = requestNames(parsed->names);
        if (names.empty()) read.problem = "names no host";
    }
    if (!read.problem.empty()) {
        // Set aside rather than deleted, so that whoever looks finds what was there.
        const std::string aside = path_ + ".bad";
        ::rename(path_.c_str(), aside.c_str());
        log("strict lock file not trusted (" + read.problem + "), set aside as " + aside);
        return;
    }
    if (!read.text) return;
    lock_ = StrictLock{std::move(names), parsed->until, *parsed->taken};
    saved_ = *read.text;
    log("strict lock until " + utcText(lock_->until) + ": " + count(lock_->names));
}

void StrictKeeper::followClock(sys_seconds wall, const Log& log) {
    const std::chrono::nanoseconds boot = clock_.boot();
    if (!reference_) {
        reference_ = {wall, boot};
        return;
    }
    // Small steps add up: a clock pushed on a little at a time is caught as well.
    const seconds jump =
        (wall - reference_->first) - std::chrono::duration_cast<seconds>(boot - reference_->second);
    if (jump < clockJumpAtLeast && -jump < clockJumpAtLeast) return;
    reference_ = {wall, boot};
    if (!lock_) return;
    lock_->until += jump;
    log(std::string("the clock moved ") + (jump.count() > 0 ? "forward" : "back") + " by " +
        std::to_string(jump.count() > 0 ? jump.count() : -jump.count()) +
        " s, the strict lock now ends at " + utcText(lock_->until));
}

void StrictKeeper::refuse(const std::string& why, const Log& log) {
    log("strict request refused: " + why);
}

void StrictKeeper::take(const std::string& requestPath, uid_t uid, sys_seconds wall,
                        const Log& log) {
    const std::string path = folderOf(requestPath) + "/" + std::string(strictRequestName);
    AppFile file = readAppFile(path, uid);
    const bool untrusted = file.kind == AppFile::Kind::untrusted;
    if (untrusted && !requestUntrusted_) log("strict request not trusted, ignored: " + path);
    requestUntrusted_ = untrusted;
    if (file.kind != AppFile::Kind::text || file.text.empty() || seen_ == file.text) return;
    seen_ = file.text;

    std::optional<StrictLockText> asked = parseStrictLock(file.text);
    if (!asked || asked->taken)
        return refuse("its first line is not \u201Cuntil\u201D and a time", log);
    std::vector<std::string> names = requestNames(asked->names);
    if (names.empty()) return refuse("it names no valid host", log);
    if (asked->until <= wall)
        return refuse("its end " + utcText(asked->until) + " has passed", log);
    if (asked->until - wall > maxStrictLock)
        return refuse(
            "it ends more than " + std::to_string(maxStrictLock.count()) + " minutes ahead", log);
    if (!lock_) {
        lock_ = StrictLock{std::move(names), asked->until, wall};
        log("strict lock until " + utcText(lock_->until) + ": " + count(lock_->names));
        return;
    }
    if (asked->until < lock_->until)
        return refuse("it would end the strict lock at " + utcText(asked->until) + ", before " +
                          utcText(lock_->until),
                      log);
    std::vector<std::string> merged = withLocked(lock_->names, names);
    if (merged.size() > maxNames) merged.resize(maxNames);
    if (merged == lock_->names && asked->until == lock_->until) return;
    lock_->names = std::move(merged);
    lock_->until = asked->until;
    log("strict lock lengthened to " + utcText(lock_->until) + ": " + count(lock_->names));
}

void StrictKeeper::keepFile(const Log& log) {
    if (!lock_) {
        if (saved_) ::unlink(path_.c_str());
        saved_.reset();
        return;
    }
    std::string text = strictLockText(lock_->until, lock_->taken, lock_->names);
    if (saved_ == text) return;
    makeFolders(folderOf(path_), 0755);
    AtomicWrite how;
    how.mode = 0644;
    const Status written = writeAtomically(path_, text, how);
    if (!written.ok()) {
        // Kept in memory meanwhile, and tried again on the next pass.
        const std::string problem = written.text();
        if (problem != saveProblem_)
            log("cannot save the strict lock, keeping it in memory: " + problem);
        saveProblem_ = problem;
        return;
    }
    if (!saveProblem_.empty()) log("strict lock saved");
    saveProblem_.clear();
    saved_ = std::move(text);
}

}  // namespace tarrow
