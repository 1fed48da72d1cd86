#pragma once
// Files in the browsers' policy folders, handled without ever following a symbolic
// link: folders are opened one component at a time, files are read, written and
// replaced relative to the open folder.

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "common/status.h"

namespace tarrow::platform {

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd();
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    int get() const { return fd_; }

  private:
    int fd_;
};

// Opens `folder` (absolute) below `root` ("" for /); creates missing components with
// mode 0755 when `create`. None when a component is missing and not created; a failure
// when one is a symbolic link ("a symbolic link, not followed") or not a folder.
std::optional<Result<Fd>> openFolder(const std::string& root, std::string_view folder, bool create);

// The content of a regular file in the folder, at most `limit` bytes; none when it is
// missing; a failure when it is a link, not a regular file, larger, or unreadable.
Result<std::optional<std::string>> readInFolder(int folder, const std::string& name,
                                                const std::string& path, size_t limit);

// Writes the bytes beside `name` and renames them over it, inside the folder; `path`
// is the name used in the failure.
Status writeInFolder(int folder, const std::string& name, std::string_view bytes, mode_t mode,
                     const std::string& path);

}  // namespace tarrow::platform
