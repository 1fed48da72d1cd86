#include "platform/run_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

extern char** environ;

namespace tarrow::platform {

std::optional<std::string> findProgram(const std::vector<std::string>& candidates) {
    for (const auto& path : candidates)
        if (::access(path.c_str(), X_OK) == 0) return path;
    return std::nullopt;
}

Result<ProgramRun> runProgram(const std::string& program, const std::vector<std::string>& arguments,
                              Output output, Output errors) {
    if (::access(program.c_str(), X_OK) != 0) return Status::lastError("run", program);

    const bool capturing = output == Output::capture || errors == Output::capture;
    int pipeFds[2] = {-1, -1};
    if (capturing && ::pipe2(pipeFds, O_CLOEXEC) != 0) return Status::lastError("run", program);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (output == Output::discard)
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (output == Output::capture) posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    if (errors == Output::discard)
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (errors == Output::capture) posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    // A program started from here gets SIGPIPE's default action back, whatever this
    // process ignores: shell pipelines in the scripts rely on it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &pipeSignal);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    pid_t pid = -1;
    int rc = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (capturing) ::close(pipeFds[1]);
    if (rc != 0) {
        if (capturing) ::close(pipeFds[0]);
        return Status::failure("run", program, rc);
    }
    ProgramRun result;
    if (capturing) {
        char buffer[4096];
        while (true) {
            ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            result.output.append(buffer, static_cast<size_t>(n));
        }
        ::close(pipeFds[0]);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace tarrow::platform
