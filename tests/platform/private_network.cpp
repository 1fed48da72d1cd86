#include "private_network.h"

#include <net/if.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace tarrow::test {

namespace {

bool loopbackUp() {
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool ok = ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
    ok = ok && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

int inPrivateNetwork(const std::function<int()>& fn, const FileBinds& binds) {
    if (::geteuid() != 0) return 77;
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::unshare(CLONE_NEWNS | CLONE_NEWNET) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 || !loopbackUp())
            ::_exit(77);
        for (const auto& [file, target] : binds)
            if (::mount(file.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0) ::_exit(77);
        const int code = fn();
        std::fflush(nullptr);
        ::_exit(code);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int failed(const char* what, int code) {
    std::fprintf(stderr, "check failed: %s\n", what);
    return code;
}

}  // namespace tarrow::test
