// Linked into the programs of the coverage build only (scripts/coverage.sh). The
// whole-program tests end the app and the helper by a signal, and a process that dies by
// a signal or leaves through _exit never writes its gcov counts; this writes them first.
#include <signal.h>

extern "C" void __gcov_dump(void);
extern "C" void __real__exit(int status);

extern "C" void __wrap__exit(int status) {
    __gcov_dump();
    __real__exit(status);
}

namespace {

void dumpAndDie(int signal) {
    __gcov_dump();
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// Only where the program keeps the default: a program's own handler stays, and leaves
// through the wrapped _exit.
__attribute__((constructor)) void dumpOnSignals() {
    const int signals[] = {SIGTERM, SIGINT, SIGHUP};
    for (int signal : signals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            ::signal(signal, dumpAndDie);
    }
}

}  // namespace
