#pragma once
// Real files, processes and namespaces for the helper's tests.

#include <sys/stat.h>
#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/common/temp_folder.h"

namespace tarrow::test {

void writeFile(const std::string& path, const std::string& bytes, mode_t mode = 0644);
std::string readFile(const std::string& path);
struct stat statOf(const std::string& path);           // lstat; st_mode 0 when missing
void setAge(const std::string& path, double seconds);  // modification time this long ago

bool isRoot();

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

// The built tarrow-helper.
std::string helperProgram();

// Runs the built tarrow-helper with these arguments. With binds, it runs in its own mount
// and network namespace with those folders in place and an empty /var/lib, so that
// nothing of the machine's own changes (77 when the namespace cannot be made).
HelperRun runHelper(const std::vector<std::string>& args, const std::optional<Binds>& binds = {},
                    int timeoutSeconds = 20);

}  // namespace tarrow::test
