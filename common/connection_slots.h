#pragma once
// The connections one server handles at once, shared by its listeners (the plain and the
// TLS port of one address share one limit). When every slot is taken, a newcomer gets
// the slot of the connection that has been idle longest (on a tie, the one that has sent
// least), so one local process that holds connections open and sends little or nothing
// cannot keep a client out that sends its whole request at once. A connection whose
// request is being answered is never given up.
//
// Used on the server's thread only; the counters may be read from any thread.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>

namespace tarrow {

class ConnectionSlots {
  public:
    using Clock = std::chrono::steady_clock;
    using Key = uint64_t;

    explicit ConnectionSlots(size_t limit) : limit(limit) {}
    ConnectionSlots(const ConnectionSlots&) = delete;
    ConnectionSlots& operator=(const ConnectionSlots&) = delete;

    const size_t limit;

    // A slot for a connection accepted at `now`. When all are taken, the holder chosen
    // as above loses its slot first and its `drop` is called (it should close that
    // connection). None when every holder is being answered.
    std::optional<Key> take(Clock::time_point now, std::function<void()> drop);
    // The connection has received `total` bytes so far, the last of them at `now`.
    void received(Key key, size_t total, Clock::time_point now);
    // Its request is complete and being answered: it keeps its slot until released.
    void answering(Key key);
    // The connection has ended; a slot already given up is not released twice.
    void release(Key key);

    size_t open() const { return open_; }
    size_t peak() const { return peak_; }
    size_t evicted() const { return evicted_; }

  private:
    struct Holder {
        Clock::time_point lastReceived;
        size_t received = 0;
        bool answering = false;
        std::function<void()> drop;
    };
    bool evictOne();

    std::unordered_map<Key, Holder> holders_;
    Key next_ = 0;
    std::atomic<size_t> open_{0}, peak_{0}, evicted_{0};
};

}  // namespace tarrow
