#pragma once
// Pieces of a test run in a child process: as nobody, in namespaces of their own, or the
// built tarrow-helper itself, so that the test process stays as it was.

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarrow::test {

bool isRoot();

// Waits for the child; its exit status, or -1 when it crashed or had to be killed after
// timeoutSeconds.
int waitForChild(pid_t pid, int timeoutSeconds);

// Runs fn in a child process and returns its result (the child's exit status). When
// unprivileged, the child gives up root first (as nobody), so permissions apply.
// When isolated, it runs in its own mount and network namespace (root only; 77 when the
// namespace cannot be made).
int inChild(const std::function<int()>& fn, bool unprivileged, bool isolated = false);

struct HelperRun {
    int status = -1;  // exit status; -1 when it had to be killed
    std::string out, err;
};
// Folders of a test bound over the machine's own: {test folder, path it stands in for}.
using Binds = std::vector<std::pair<std::string, std::string>>;

// Runs the built tarrow-helper with these arguments. With binds, it runs in its own mount
// and network namespace with those folders in place and an empty /var/lib, so that
// nothing of the machine's own changes (77 when the namespace cannot be made).
HelperRun runHelper(const std::vector<std::string>& args, const std::optional<Binds>& binds = {},
                    int timeoutSeconds = 20);

}  // namespace tarrow::test
