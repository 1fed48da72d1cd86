#include "app/browser/page_server.h"

#include <sys/random.h>

#include <asio.hpp>
#include <cstdio>
#include <random>

#include "app/browser/page_escape.h"

namespace tarrow {

namespace {

constexpr size_t connectionLimit = 32;
constexpr std::chrono::milliseconds connectionDeadline{3000};

uint32_t random32() {
    uint32_t value = 0;
    if (getrandom(&value, sizeof value, 0) == ssize_t(sizeof value)) return value;
    std::random_device device;  // also the system's randomness, through another door
    return device();
}

}  // namespace

std::string newToken() {
    std::string token;
    char piece[9];
    for (int i = 0; i < 4; ++i) {
        std::snprintf(piece, sizeof piece, "%08x", random32());
        token += piece;
    }
    return token;
}

PageServer::PageServer(PageServerSetup setup)
    : setup_(std::move(setup)), token_(newToken()), io_(std::make_unique<asio::io_context>()) {}

PageServer::~PageServer() {
    if (listener_) listener_->close();
    io_->stop();
    if (thread_.joinable()) thread_.join();
}

bool PageServer::start() {
    if (listener_) return true;
    TcpLimits limits;
    limits.connections = connectionLimit;
    limits.deadline = connectionDeadline;
    limits.maxRead = pageHeadLimit;
    limits.bufferLimit = pageHeadLimit - 1;  // a buffer of 8192 bytes is full
    for (int i = 0; i < setup_.ports.count && !listener_; ++i) {
        const uint16_t port = uint16_t(setup_.ports.first + i);
        routes_ = PageSetup{port,
                            token_,
                            setup_.hostsPath,
                            setup_.fontFolder,
                            routes_.blocking,
                            pageSwitch_,
                            setup_.extensionId};
        auto listening =
            TcpServer::listen(*io_, "127.0.0.1", port, limits,
                              [this](std::string_view received, ReadEnd end, const Reply& reply) {
                                  return handle(received, end, reply);
                              });
        listener_ = std::move(listening.server);
    }
    if (!listener_) {
        if (!failureLogged_) {
            const int last = setup_.ports.first + setup_.ports.count - 1;
            setup_.log("page server not started: ports " + std::to_string(setup_.ports.first) +
                       "\u2013" + std::to_string(last) + " are taken");
        }
        failureLogged_ = true;
        return false;
    }
    port_ = routes_.port;
    thread_ = std::thread([io = io_.get()] {
        auto work = asio::make_work_guard(*io);
        io->run();
    });
    setup_.log("page server on 127.0.0.1:" + std::to_string(*port_));
    return true;
}

std::string PageServer::url(const std::string& host, const std::string& back) const {
    return "http://127.0.0.1:" + std::to_string(port_.value_or(0)) +
           "/blocked?site=" + queryEscape(host) + "&back=" + queryEscape(back);
}

TcpCounts PageServer::counts() const {
    return listener_ ? listener_->counts() : TcpCounts{};
}

Step PageServer::handle(std::string_view received, ReadEnd end, const Reply& reply) {
    if (!headEnd(received)) {
        if (end != ReadEnd::open || received.size() >= pageHeadLimit) return Step::close();
        return Step::read();
    }
    Routed routed = route(received, routes_);
    if (auto* answer = std::get_if<PageAnswer>(&routed)) return Step::send(answerBytes(*answer));
    makePage(std::get<PageWanted>(routed), reply);
    return Step::wait();
}

void PageServer::makePage(const PageWanted& wanted, const Reply& reply) {
    std::weak_ptr<int> alive = alive_;
    setup_.onMain([this, alive, wanted, reply] {
        if (alive.expired()) return;
        const std::string html = page_ ? page_(wanted.site, wanted.back) : std::string();
        reply.send(answerBytes(pageAnswer(html)));
    });
}

}  // namespace tarrow
