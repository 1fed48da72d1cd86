#include "helper/pass.h"

#include "helper/block_hold.h"
#include "helper/strict_lock.h"

#include <string>

namespace tarrow {

bool pass(HelperState& state, const std::string& path, uid_t uid) {
    // The extension must be in place before a browser starts, blocking or not.
    if (state.daemon && state.hold) state.hold->keepExtension(state.log);
    Request r = requested(path, uid);
    const std::vector<std::string>* locked = nullptr;
    if (state.strict) locked = &state.strict->update(path, uid, state.log);
    const bool changedState = !state.lastRequest || state.lastRequest->kind != r.kind;

    if (r.kind == Request::Kind::untrusted) {
        if (changedState) state.log("request file not trusted, left /etc/hosts as it is: " + path);
        state.lastRequest = r;
        return false;
    }
    if (r.kind == Request::Kind::silent && changedState)
        state.log("the app has been silent for " + std::to_string(heartbeat.count()) +
                  " s, unblocking" +
                  (locked && !locked->empty() ? " all but the strict lock" : ""));
    // Empty when silent; a strict lock's names stay whatever the request says.
    std::vector<std::string> merged;
    if (locked && !locked->empty()) merged = withLocked(r.names, *locked);
    const std::vector<std::string>& names = merged.empty() ? r.names : merged;

    bool answering = false;
    if (state.daemon && state.notice && !names.empty()) answering = state.notice->start(80, 443);
    std::string_view address = answering ? noticeAddress : plainAddress;

    auto write = [&] {
        Result<bool> written = apply(names, state.hostsPath, address, &state.memo);
        if (written.ok() && *written && state.flush && state.flushDNS) state.flushDNS();
        return written;
    };
    Result<bool> changed = state.hold ? state.hold->around(names, write, state.log) : write();
    if (!changed) {
        // Nothing else this pass: the old section may still point names at the listener.
        state.log("failed: " + changed.status().text());
        state.lastRequest = r;
        return false;
    }
    if (*changed) {
        if (names.empty()) {
            state.log("unblocked");
        } else {
            state.log("blocking " + std::to_string(names.size()) + " host names" +
                      (answering ? ", answering on " + std::string(noticeAddress)
                                 : std::string(", without the note")));
        }
    }
    if (names.empty() && state.notice && state.notice->hasListeners()) state.notice->stop();
    state.lastRequest = r;
    return *changed;
}

}  // namespace tarrow
