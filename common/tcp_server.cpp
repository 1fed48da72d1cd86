#include "common/tcp_server.h"

#include <cerrno>
#include <future>

#include <asio.hpp>

#include "common/tcp_socket.h"

// A peer that has gone must give a send error, never a SIGPIPE that ends the process.
#if !defined(ASIO_HAS_MSG_NOSIGNAL)
#error "sockets must be written with MSG_NOSIGNAL"
#endif

namespace tarrow {

using asio::ip::tcp;

struct TcpServer::Core : std::enable_shared_from_this<Core> {
    Core(asio::io_context& io, TcpLimits limits, ConnectionHandler handler, ListenerFailure failed,
         std::shared_ptr<ConnectionSlots> slots)
        : io(io),
          acceptor(io),
          pause(io),
          limits(limits),
          handler(std::move(handler)),
          failed(std::move(failed)),
          slots(std::move(slots)) {}

    asio::io_context& io;
    tcp::acceptor acceptor;
    asio::steady_timer pause;
    const TcpLimits limits;
    const ConnectionHandler handler;
    const ListenerFailure failed;
    const std::shared_ptr<ConnectionSlots> slots;
    bool closed = false;
    uint16_t port = 0;  // as bound
    tcp protocol = tcp::v4();
    std::atomic<size_t> accepted{0}, refused{0};

    void accept();
    void acceptWaiting();
    void handle(tcp::socket socket);
    void acceptFailed(const std::error_code& error);
};

namespace {

// Categories are told apart by address: the comparison operators make a virtual-looking
// call that sanitizers check by reading memory through a pipe, which fails exactly
// when descriptors have run out.
bool is(const std::error_code& error, const std::error_category& category, int value) {
    return &error.category() == &category && error.value() == value;
}

bool system(const std::error_code& error) {
    return &error.category() == &asio::error::get_system_category();
}

struct Connection : std::enable_shared_from_this<Connection> {
    Connection(std::shared_ptr<TcpServer::Core> core, tcp::socket socket)
        : core(std::move(core)), socket(std::move(socket)), deadline(this->socket.get_executor()) {}

    std::shared_ptr<TcpServer::Core> core;
    tcp::socket socket;
    asio::steady_timer deadline;
    std::string buffer;
    std::string outgoing;
    ConnectionSlots::Key slot = 0;
    bool ended = false;
    bool waiting = false;

    void start() {
        deadline.expires_after(core->limits.deadline);
        deadline.async_wait([self = shared_from_this()](const std::error_code& error) {
            if (!error) self->finish();
        });
        read();
    }

    void read() {
        // Each receive asks for up to maxRead bytes, whatever is held: a buffer still within
        // bufferLimit may take one more whole read.
        const size_t held = buffer.size();
        const size_t want = std::max<size_t>(1, core->limits.maxRead);
        buffer.resize(held + want);
        socket.async_read_some(
            asio::buffer(buffer.data() + held, want),
            [self = shared_from_this(), held](const std::error_code& error, size_t n) {
                self->buffer.resize(held + n);
                self->received(error);
            });
    }

    void received(const std::error_code& error) {
        if (ended) return;
        ReadEnd end = ReadEnd::open;
        if (error)
            end = is(error, asio::error::get_misc_category(), asio::error::eof) ? ReadEnd::closed
                                                                                : ReadEnd::failed;
        else if (buffer.size() > core->limits.bufferLimit)
            end = ReadEnd::full;
        core->slots->received(slot, buffer.size(), ConnectionSlots::Clock::now());
        Step step = core->handler(buffer, end, reply());
        switch (step.kind) {
            case Step::Kind::read:
                if (end == ReadEnd::open)
                    read();
                else
                    finish();
                break;
            case Step::Kind::close:
                finish();
                break;
            case Step::Kind::send:
                core->slots->answering(slot);
                send(std::move(step.bytes));
                break;
            case Step::Kind::wait:
                core->slots->answering(slot);
                waiting = true;
                break;
        }
    }

    Reply reply() {
        std::weak_ptr<Connection> weak = weak_from_this();
        auto executor = socket.get_executor();
        return Reply([weak, executor](std::string bytes) {
            asio::post(executor, [weak, bytes = std::move(bytes)]() mutable {
                auto self = weak.lock();
                if (self && self->waiting && !self->ended) {
                    self->waiting = false;
                    self->send(std::move(bytes));
                }
            });
        });
    }

    void send(std::string bytes) {
        outgoing = std::move(bytes);
        asio::async_write(
            socket, asio::buffer(outgoing),
            [self = shared_from_this()](const std::error_code&, size_t) { self->finish(); });
    }

    void finish() {
        if (ended) return;
        ended = true;
        deadline.cancel();
        std::error_code ignored;
        socket.close(ignored);
        core->slots->release(slot);
    }
};

// Errors that concern one pending connection, not the listener.
bool passing(const std::error_code& error) {
    switch (error.value()) {
        case ECONNABORTED:
        case EPROTO:
        case EPERM:
        case EINTR:
        case EAGAIN:
        case ENETDOWN:
        case ENOPROTOOPT:
        case EHOSTDOWN:
        case ENONET:
        case EHOSTUNREACH:
        case EOPNOTSUPP:
        case ENETUNREACH:
        case ETIMEDOUT:
            return system(error);
        default:
            return false;
    }
}

// Running out of descriptors or memory: waiting helps, retrying at once would spin.
bool exhausted(const std::error_code& error) {
    const int e = error.value();
    return system(error) && (e == EMFILE || e == ENFILE || e == ENOBUFS || e == ENOMEM);
}

}  // namespace

// Accepts what is waiting, a batch at a time so that the connections already handled
// get their turn on the thread in between, then waits for more.
void TcpServer::Core::accept() {
    constexpr int batch = 16;
    for (int i = 0; i < batch; ++i) {
        if (closed) return;
        tcp::socket socket(io);
        std::error_code error = acceptOne(acceptor, protocol, socket);
        if (error == asio::error::would_block) {
            acceptWaiting();
            return;
        }
        if (error) {
            acceptFailed(error);
            return;
        }
        handle(std::move(socket));
    }
    asio::post(io, [self = shared_from_this()] { self->accept(); });
}

void TcpServer::Core::acceptWaiting() {
    acceptor.async_wait(tcp::acceptor::wait_read,
                        [self = shared_from_this()](const std::error_code& error) {
                            if (self->closed) return;
                            if (error)
                                self->acceptFailed(error);
                            else
                                self->accept();
                        });
}

void TcpServer::Core::handle(tcp::socket socket) {
    auto connection = std::make_shared<Connection>(shared_from_this(), std::move(socket));
    std::weak_ptr<Connection> weak = connection;
    std::optional<ConnectionSlots::Key> slot = slots->take(ConnectionSlots::Clock::now(), [weak] {
        if (auto evicted = weak.lock()) evicted->finish();
    });
    if (!slot) {
        ++refused;
        std::error_code ignored;
        connection->socket.close(ignored);
        connection->ended = true;
        return;
    }
    ++accepted;
    connection->slot = *slot;
    connection->start();
}

void TcpServer::Core::acceptFailed(const std::error_code& error) {
    if (system(error) && error.value() == asio::error::operation_aborted) return;
    if (passing(error)) {  // that connection is gone; the next one may be fine
        asio::post(io, [self = shared_from_this()] { self->accept(); });
        return;
    }
    if (exhausted(error)) {
        pause.expires_after(limits.acceptPause);
        pause.async_wait([self = shared_from_this()](const std::error_code& waited) {
            if (!waited) self->accept();
        });
        return;
    }
    closed = true;
    std::error_code ignored;
    acceptor.close(ignored);
    if (failed) failed(port, error.message());
}

TcpServer::Listening TcpServer::listen(asio::io_context& io, const std::string& address,
                                       uint16_t port, const TcpLimits& limits,
                                       ConnectionHandler handler, ListenerFailure failed,
                                       std::shared_ptr<ConnectionSlots> slots) {
    if (!slots) slots = std::make_shared<ConnectionSlots>(limits.connections);
    auto core =
        std::make_shared<Core>(io, limits, std::move(handler), std::move(failed), std::move(slots));
    std::error_code error;
    tcp::endpoint endpoint(asio::ip::make_address(address, error), port);
    if (!error) error = openListening(core->acceptor, endpoint);
    uint16_t bound = 0;
    if (!error) bound = core->acceptor.local_endpoint(error).port();
    if (error) return {nullptr, error.message()};
    core->port = bound;
    core->protocol = endpoint.protocol();
    asio::post(io, [core] { core->accept(); });
    return {std::unique_ptr<TcpServer>(new TcpServer(core, bound)), {}};
}

TcpServer::TcpServer(std::shared_ptr<Core> core, uint16_t port)
    : core_(std::move(core)), port_(port) {}

TcpServer::~TcpServer() {
    close();
}

void TcpServer::close() {
    if (!core_ || closing_) return;
    closing_ = true;
    std::shared_ptr<Core> core = core_;
    auto shut = [core] {
        core->closed = true;
        std::error_code ignored;
        core->acceptor.close(ignored);
        core->pause.cancel();
    };
    auto executor = core->io.get_executor();
    if (executor.running_in_this_thread() || core->io.stopped()) {  // no other thread runs it
        shut();
        return;
    }
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    asio::post(executor, [shut, done] {
        shut();
        done->set_value();
    });
    finished.wait();
}

TcpCounts TcpServer::counts() const {
    if (!core_) return {};
    return {core_->accepted.load(), core_->refused.load(), core_->slots->open(),
            core_->slots->peak(), core_->slots->evicted()};
}

}  // namespace tarrow
