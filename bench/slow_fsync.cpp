// A slow disk for a program that does not know it: preloaded (LD_PRELOAD), it makes every
// fsync and fdatasync sleep first, 50 ms or TARROW_FSYNC_DELAY_MS, as a spinning disk,
// an SD card or a busy laptop does.

#include <dlfcn.h>
#include <time.h>

#include <cstdlib>

namespace {

using SyncFn = int (*)(int);

void sleepAsADiskWould() {
    static const long delay = [] {
        const char* text = std::getenv("TARROW_FSYNC_DELAY_MS");
        return text && *text ? std::atol(text) : 50L;
    }();
    struct timespec left {
        delay / 1000, (delay % 1000) * 1000000
    };
    while (::nanosleep(&left, &left) != 0) {
    }
}

}  // namespace

extern "C" int fsync(int fd) {
    static const auto real = reinterpret_cast<SyncFn>(::dlsym(RTLD_NEXT, "fsync"));
    sleepAsADiskWould();
    return real(fd);
}

extern "C" int fdatasync(int fd) {
    static const auto real = reinterpret_cast<SyncFn>(::dlsym(RTLD_NEXT, "fdatasync"));
    sleepAsADiskWould();
    return real(fd);
}
