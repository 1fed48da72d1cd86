#include "tests/support/private_network.h"

#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "tests/support/child_process.h"

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

int inPrivateNetwork(const std::function<int()>& fn) {
    if (::geteuid() != 0) return 77;
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::unshare(CLONE_NEWNS | CLONE_NEWNET) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 || !loopbackUp())
            ::_exit(77);
        const int code = fn();
        std::fflush(nullptr);
        ::_exit(code);
    }
    return waitForChild(pid, 60);
}

}  // namespace tarrow::test
