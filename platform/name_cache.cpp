#include "platform/name_cache.h"

#include "platform/run_program.h"

namespace tarrow::platform {

void flushNameCaches() {
#ifdef __APPLE__
    runProgram("/usr/bin/dscacheutil", {"-flushcache"});
    runProgram("/usr/bin/killall", {"-HUP", "mDNSResponder"});
#else
    if (auto resolvectl = findProgram({"/usr/bin/resolvectl", "/bin/resolvectl"}))
        runProgram(*resolvectl, {"flush-caches"}, Output::inherit, Output::discard);
    if (auto nscd = findProgram({"/usr/sbin/nscd", "/sbin/nscd"}))
        runProgram(*nscd, {"--invalidate=hosts"}, Output::inherit, Output::discard);
#endif
}

}  // namespace tarrow::platform
