#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "helper/block_hold.h"
#include "helper/command_line.h"
#include "helper/daemon.h"
#include "helper/listen_test.h"
#include "helper/log.h"
#include "helper/pass.h"
#include "helper/strict_lock.h"
#include "platform/name_cache.h"
#include "platform/paths.h"

using namespace tarrow;

namespace {

int usage() {
    std::printf("%s\n", std::string(helper::usageLine).c_str());
    return 2;
}

HelperState stateFor(const helper::Invocation& inv) {
    HelperState state;
    state.hostsPath = inv.hostsPath;
    state.flush = inv.flush;
    state.daemon = inv.daemon;
    state.log = helper::log;
    state.flushDNS = platform::flushNameCaches;
    if (inv.hostsPath == systemHostsPath) {
        state.hold = std::make_shared<BlockHold>(systemHold());
        state.strict = std::make_shared<StrictKeeper>(std::string(strictLockPath), ::geteuid());
    }
    return state;
}

int clear(const helper::Invocation& inv) {
    HelperState state = stateFor(inv);
    if (state.hold) state.hold->release(helper::log);
    // Root ends a strict lock early here; a running daemon sees its file gone.
    if (state.strict && ::unlink(std::string(strictLockPath).c_str()) == 0)
        helper::log("strict lock removed");
    Result<bool> changed = apply({}, state.hostsPath, plainAddress);
    if (!changed) {
        helper::log("failed: " + changed.status().text());
        return 1;
    }
    if (*changed) {
        if (state.flush) state.flushDNS();
        helper::log("section removed");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // A log line into a standard error nobody reads any more must not end the helper
    // halfway through its work; sockets send with MSG_NOSIGNAL as well.
    ::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    helper::Invocation inv = helper::parseCommandLine(args);
    switch (inv.mode) {
        case helper::Mode::version:
            std::printf("%s helper 2\n", std::string(appName).c_str());
            return 0;
        case helper::Mode::help:
            std::fputs(std::string(helper::helpText).c_str(), stdout);
            return 0;
        case helper::Mode::clear:
            return clear(inv);
        case helper::Mode::apply: {
            HelperState state = stateFor(inv);
            pass(state, inv.requestPath, inv.uid);
            return 0;
        }
        case helper::Mode::listenTest:
            return runListenTest(inv.folder, inv.plainPort, inv.tlsPort);
        case helper::Mode::daemon:
            return runDaemon(stateFor(inv), inv.requestPath, inv.uid);
        case helper::Mode::usage:
            break;
    }
    return usage();
}
