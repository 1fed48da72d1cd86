#include "common/connection_slots.h"

namespace tarrow {

std::optional<ConnectionSlots::Key> ConnectionSlots::take(Clock::time_point now,
                                                          std::function<void()> drop) {
    if (holders_.size() >= limit && !evictOne()) return std::nullopt;
    const Key key = next_++;
    holders_.emplace(key, Holder{now, 0, false, std::move(drop)});
    open_ = holders_.size();
    if (open_ > peak_) peak_ = open_.load();
    return key;
}

bool ConnectionSlots::evictOne() {
    auto victim = holders_.end();
    for (auto it = holders_.begin(); it != holders_.end(); ++it) {
        const Holder& h = it->second;
        if (h.answering) continue;
        if (victim == holders_.end() || h.lastReceived < victim->second.lastReceived ||
            (h.lastReceived == victim->second.lastReceived && h.received < victim->second.received))
            victim = it;
    }
    if (victim == holders_.end()) return false;
    // Forgotten before it is dropped, so the release its closing makes finds nothing.
    std::function<void()> drop = std::move(victim->second.drop);
    holders_.erase(victim);
    open_ = holders_.size();
    ++evicted_;
    if (drop) drop();
    return true;
}

void ConnectionSlots::received(Key key, size_t total, Clock::time_point now) {
    auto it = holders_.find(key);
    if (it == holders_.end()) return;
    it->second.received = total;
    it->second.lastReceived = now;
}

void ConnectionSlots::answering(Key key) {
    auto it = holders_.find(key);
    if (it != holders_.end()) it->second.answering = true;
}

void ConnectionSlots::release(Key key) {
    holders_.erase(key);
    open_ = holders_.size();
}

}  // namespace tarrow
