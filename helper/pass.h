#pragma once
// One read-decide-apply cycle over the request file.

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "helper/apply.h"
#include "helper/request.h"
#include "platform/paths.h"

namespace tarrow {

class BlockHold;
class StrictKeeper;

// What the pass needs of the block-notice listener.
class NoticeControl {
  public:
    virtual ~NoticeControl() = default;
    virtual bool start(uint16_t http, uint16_t https) = 0;
    virtual void stop() = 0;
    virtual bool hasListeners() const = 0;
};

struct HelperState {
    std::string hostsPath{systemHostsPath};
    bool flush = true;
    bool daemon = false;
    NoticeControl* notice = nullptr;  // only the daemon has one
    std::optional<Request> lastRequest;
    std::optional<ApplyMemo> memo;
    std::function<void(std::string_view)> log;
    std::function<void()> flushDNS;
    // Makes a block hold beyond the section (helper/block_hold.h); only with the system's
    // hosts file.
    std::shared_ptr<BlockHold> hold;
    // Keeps a strict lock's names blocked whatever the request says (helper/strict_lock.h).
    std::shared_ptr<StrictKeeper> strict;
};

// True when the pass rewrote the hosts file.
bool pass(HelperState& state, const std::string& path, uid_t uid);

}  // namespace tarrow
