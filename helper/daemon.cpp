#include "helper/daemon.h"

#include <sys/stat.h>

#include <asio.hpp>

#include "common/file_io.h"
#include "helper/block_hold.h"
#include "helper/daemon_watch.h"
#include "helper/notice.h"
#include "helper/pass_pacing.h"
#include "platform/loopback_alias.h"
#include "platform/paths.h"

namespace tarrow {

void makeFolders(const std::string& path, mode_t mode) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (!prefix.empty() && ::mkdir(prefix.c_str(), mode) == 0) ::chmod(prefix.c_str(), mode);
        if (slash == std::string::npos) break;
    }
}

int runDaemon(HelperState state, const std::string& requestPath, uid_t uid) {
    state.log("helper started for " + requestPath);
    makeFolders(folderOf(std::string(hitsPath)), 0755);

    Notice notice(std::string(noticeAddress), std::string(hitsPath), platform::loopbackNeedsAlias,
                  NoticeSetup{state.log, {}, {}, noticeLimits}, uid);
    state.notice = &notice;

    asio::io_context io{1};
    std::function<void()> wantPass;
    FolderWatch watch(io, folderOf(requestPath), [&] { wantPass(); });

    PassPacing pacing(rewriteGap);
    asio::steady_timer planned(io), recut(io);
    auto runPass = [&] {
        watch.rewatch();  // at once when the folder came back; unchanged when armed
        // Timed from its start: the name-cache flush after a rewrite may take a while,
        // and the gap is between rewrites.
        const auto began = PassPacing::Clock::now();
        const bool rewrote = pass(state, requestPath, uid);
        pacing.ran(began, rewrote);
        // A block that just started is cut once more when browsers' name caches ran out.
        if (auto due = state.hold ? state.hold->recutDue() : std::nullopt) {
            recut.expires_at(*due);
            recut.async_wait([&](const std::error_code& error) {
                if (!error) state.hold->recut(state.log);
            });
        }
    };
    wantPass = [&] {
        const auto now = PassPacing::Clock::now();
        const auto when = pacing.wanted(now);
        if (!when) return;
        if (*when <= now) {
            runPass();
            return;
        }
        planned.expires_at(*when);
        planned.async_wait([&](const std::error_code& error) {
            if (!error) runPass();
        });
    };

    asio::steady_timer timer(io);
    std::function<void()> tick = [&] {
        watch.rewatch();  // also when a planned pass takes this tick's place
        wantPass();
        auto next = timer.expiry() + daemonPeriod;
        if (next < asio::steady_timer::clock_type::now())  // a pass overran: no catching up
            next = asio::steady_timer::clock_type::now() + daemonPeriod;
        timer.expires_at(next);
        timer.async_wait([&](const std::error_code& error) {
            if (!error) tick();
        });
    };
    timer.expires_at(asio::steady_timer::clock_type::now());
    timer.async_wait([&](const std::error_code& error) {
        if (!error) tick();
    });
    io.run();
    return 0;
}

}  // namespace tarrow
