#include "tests/support/child_process.h"

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow::test {

namespace {

constexpr uid_t nobody = 65534;

bool isolate(const Binds& binds) {
    if (::unshare(CLONE_NEWNS | CLONE_NEWNET) != 0) return false;
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
    for (const auto& [folder, target] : binds)
        if (::mount(folder.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0) return false;
    // The daemon makes its hits folder under /var/lib: an empty one of its own.
    return binds.empty() || ::mount("tmpfs", "/var/lib", "tmpfs", 0, "mode=0755") == 0;
}

}  // namespace

int waitForChild(pid_t pid, int timeoutSeconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool isRoot() {
    return ::geteuid() == 0;
}

int inChild(const std::function<int()>& fn, bool unprivileged, bool isolated) {
    pid_t pid = ::fork();
    if (pid == 0) {
        if (isolated && !isolate({})) ::_exit(77);
        if (unprivileged && isRoot() &&
            (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0))
            ::_exit(78);
        ::_exit(fn());
    }
    return waitForChild(pid, 60);
}

namespace {

[[noreturn]] void execHelper(const std::vector<std::string>& args) {
    // Outside ctest the programs stand in bin/ next to the tests' folder.
    const char* bin = std::getenv("TARROW_BIN");
    const std::string program = (bin ? std::string(bin)
                                     : std::filesystem::read_symlink("/proc/self/exe")
                                               .parent_path()
                                               .parent_path()
                                               .string() +
                                           "/bin") +
                                "/tarrow-helper";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

}  // namespace

HelperRun runHelper(const std::vector<std::string>& args, const std::optional<Binds>& binds,
                    int timeoutSeconds) {
    TempFolder capture;
    const std::string out = capture / "out", err = capture / "err";
    pid_t pid = ::fork();
    if (pid == 0) {
        int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(o, 1);
        ::dup2(e, 2);
        if (binds && !isolate(*binds)) ::_exit(77);
        execHelper(args);
    }
    HelperRun run;
    run.status = waitForChild(pid, timeoutSeconds);
    run.out = readFile(out).value_or("");
    run.err = readFile(err).value_or("");
    return run;
}

}  // namespace tarrow::test
