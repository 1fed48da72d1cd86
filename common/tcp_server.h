#pragma once
// A small TCP server for short connections that carry one request each: the helper's
// block-notice listeners and the app's page server. The owner decides, from the bytes
// received so far, whether to read on, answer, close, or answer later. The server keeps
// the limits that make it safe against local floods: a cap on connections handled at
// once (a newcomer takes the slot of the connection idle longest, see ConnectionSlots),
// one deadline for each whole connection, a bounded buffer, and a pause instead of a
// busy loop when accepting fails for lack of file descriptors. Its sockets are
// close-on-exec, and sending never raises SIGPIPE.
//
// Binding happens on the caller's thread, so the caller knows at once whether the port
// is served; everything after that runs on the thread that runs the io_context.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "common/connection_slots.h"

namespace asio {
class io_context;
}

namespace tarrow {

struct TcpLimits {
    size_t connections = 64;                     // handled at once
    std::chrono::milliseconds deadline{3000};    // from acceptance to the forced close
    size_t maxRead = 16384;                      // bytes asked for per receive (at least 1)
    size_t bufferLimit = 16383;                  // a buffer longer than this reads no more
                                                 // (so it holds at most one maxRead more)
    std::chrono::milliseconds acceptPause{100};  // after running out of descriptors
};

// Whether more bytes can come after the ones handed over.
enum class ReadEnd {
    open,    // yes
    closed,  // the peer ended its side
    failed,  // the receive failed
    full,    // the buffer passed bufferLimit
};

// What to do next with a connection.
struct Step {
    enum class Kind { read, close, send, wait };
    Kind kind = Kind::close;
    std::string bytes;  // for send

    static Step read() { return {Kind::read, {}}; }    // closes when the read has ended
    static Step close() { return {Kind::close, {}}; }  // closes without sending
    static Step send(std::string bytes) { return {Kind::send, std::move(bytes)}; }  // then closes
    static Step wait() { return {Kind::wait, {}}; }  // the answer follows through Reply
};

// Answers a connection whose handler returned Step::wait. Callable from any thread
// while the io_context exists; does nothing once the connection has ended (for example
// by its deadline).
class Reply {
  public:
    explicit Reply(std::function<void(std::string)> send) : send_(std::move(send)) {}
    void send(std::string bytes) const { send_(std::move(bytes)); }

  private:
    std::function<void(std::string)> send_;
};

// Runs on the io_context's thread, once per receive, with all bytes received so far.
using ConnectionHandler =
    std::function<Step(std::string_view received, ReadEnd end, const Reply& reply)>;
// A listener that was up failed for good (it accepts nothing more): its bound port and
// the system's text for the error.
using ListenerFailure = std::function<void(uint16_t port, const std::string& error)>;

struct TcpCounts {
    size_t accepted = 0;  // handled
    size_t refused = 0;   // closed on arrival: every slot held a connection being answered
    size_t open = 0;      // handled and not yet ended, over the shared slots
    size_t peak = 0;      // the most handled at once, over the shared slots
    size_t evicted = 0;   // closed to make room for a newcomer, over the shared slots
};

class TcpServer {
  public:
    struct Listening;

    // Binds address:port (local address reuse allowed) and listens, on the calling
    // thread; accepting starts on the io_context's thread, which must be running.
    // Without shared slots the server has its own, of limits.connections.
    static Listening listen(asio::io_context& io, const std::string& address, uint16_t port,
                            const TcpLimits& limits, ConnectionHandler handler,
                            ListenerFailure failed = {},
                            std::shared_ptr<ConnectionSlots> slots = nullptr);

    ~TcpServer();
    TcpServer(const TcpServer&) = delete;
    TcpServer& operator=(const TcpServer&) = delete;

    // Stops accepting and frees the port before returning. Connections already handled
    // run on until they end.
    void close();
    uint16_t port() const { return port_; }
    TcpCounts counts() const;

    struct Core;

  private:
    TcpServer(std::shared_ptr<Core> core, uint16_t port);
    std::shared_ptr<Core> core_;
    uint16_t port_ = 0;
    bool closing_ = false;
};

struct TcpServer::Listening {
    std::unique_ptr<TcpServer> server;  // none when binding failed
    std::string error;                  // the system's text for the failure
};

}  // namespace tarrow
