#pragma once
// The block-notice listener: while sites are blocked with the note, their names point
// at this address, and the listener answers there on a plain and a TLS port. From each
// connection's first bytes it learns which site was wanted, notes it in the hits file
// for the app, answers the plain port with the block page, and closes.
//
// start, stop and the queries run on the caller's (main) thread; connections and the
// hits file live on the listener's own thread. The two share only `broken`.

#include <sys/types.h>
#include <atomic>
#include <chrono>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/tcp_server.h"
#include "helper/notice_hits.h"
#include "helper/pass.h"
#include "platform/loopback_alias.h"

namespace tarrow {

inline constexpr std::chrono::seconds retryPause{60};

// The listener's limits: 64 connections, 3 seconds each, 16 KB of sniffing.
inline constexpr TcpLimits noticeLimits{};

struct NoticeClock {
    std::function<std::chrono::steady_clock::time_point()> steady = [] {
        return std::chrono::steady_clock::now();
    };
    std::function<std::chrono::system_clock::time_point()> wall = [] {
        return std::chrono::system_clock::now();
    };
};

struct NoticeSetup {
    std::function<void(std::string_view)> log;  // called from both threads
    NoticeClock clock;
    platform::LoopbackAlias loopback;
    TcpLimits limits = noticeLimits;
};

class Notice final : public NoticeControl {
  public:
    // The hits file is given to `hitsOwner`, the user it is for, when set.
    Notice(std::string address, std::string hitsFile, bool alias, NoticeSetup setup,
           std::optional<uid_t> hitsOwner = std::nullopt);
    ~Notice() override;
    Notice(const Notice&) = delete;
    Notice& operator=(const Notice&) = delete;

    // Makes sure both listeners run; true when they do. Returns true at once when
    // already running, and false at once within a minute of a failed attempt.
    bool start(uint16_t http, uint16_t https) override;
    // Closes the listeners (connections run out on their own) and removes the alias.
    void stop() override;
    bool hasListeners() const override { return !listeners_.empty(); }
    bool running() const { return hasListeners() && !broken_; }
    bool broken() const { return broken_; }

    const std::string& address() const { return address_; }
    // The ports bound by the last start, plain first (useful with port 0).
    std::vector<uint16_t> ports() const;
    // Connections handled by the current listeners; open and peak over both ports.
    TcpCounts counts() const;

    struct Queue;

  private:
    Step handle(std::string_view received, ReadEnd end, bool tls);

    const std::string address_;
    const bool alias_;
    NoticeSetup setup_;
    std::unique_ptr<Queue> queue_;
    std::vector<std::unique_ptr<TcpServer>> listeners_;
    std::optional<std::chrono::steady_clock::time_point> failedAt_;
    std::atomic<bool> broken_{false};
    std::shared_ptr<ConnectionSlots> slots_;  // one limit for both ports, for the instance's life
    HitsFile hits_;                           // listener thread only
};

}  // namespace tarrow
