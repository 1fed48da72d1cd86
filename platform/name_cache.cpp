#include "platform/name_cache.h"

#include "platform/run_program.h"

namespace tarrow::platform {

namespace {

// A tool that cannot run is passed over like a missing one: the caches then expire on
// their own, and the next change of the hosts file flushes again.
void tryToRun(const std::string& program, const std::vector<std::string>& arguments,
              Output errors) {
    static_cast<void>(runProgram(program, arguments, Output::inherit, errors));
}

}  // namespace

void flushNameCaches() {
#ifdef __APPLE__
    tryToRun("/usr/bin/dscacheutil", {"-flushcache"}, Output::inherit);
    tryToRun("/usr/bin/killall", {"-HUP", "mDNSResponder"}, Output::inherit);
#else
    if (auto resolvectl = findProgram({"/usr/bin/resolvectl", "/bin/resolvectl"}))
        tryToRun(*resolvectl, {"flush-caches"}, Output::discard);
    if (auto nscd = findProgram({"/usr/sbin/nscd", "/sbin/nscd"}))
        tryToRun(*nscd, {"--invalidate=hosts"}, Output::discard);
#endif
}

}  // namespace tarrow::platform
