#include "helper/notice.h"

#include <thread>

#include <asio.hpp>

#include "common/block_page.h"
#include "common/sniff.h"

namespace tarrow {

// The listener's serial queue: one io_context run by one thread for the life of the
// instance. The work guard keeps it waiting (without waking up) while nothing listens.
struct Notice::Queue {
    asio::io_context io{1};
    asio::executor_work_guard<asio::io_context::executor_type> guard{io.get_executor()};
    std::thread thread{[this] { io.run(); }};

    ~Queue() {
        guard.reset();
        io.stop();
        thread.join();
    }
};

Notice::Notice(std::string address, std::string hitsFile, bool alias, NoticeSetup setup,
               std::optional<uid_t> hitsOwner)
    : address_(std::move(address)),
      alias_(alias),
      setup_(std::move(setup)),
      queue_(std::make_unique<Queue>()),
      slots_(std::make_shared<ConnectionSlots>(setup_.limits.connections)),
      hits_(std::move(hitsFile), hitsOwner) {}

Notice::~Notice() {
    listeners_.clear();  // each closes on the queue before the queue ends
    queue_.reset();
}

bool Notice::start(uint16_t http, uint16_t https) {
    if (!listeners_.empty() && !broken_) return true;
    const auto now = setup_.clock.steady();
    if (failedAt_ && now - *failedAt_ < retryPause) return false;
    stop();

    if (alias_ && !setup_.loopback.has(address_) &&
        !setup_.loopback.run({"alias", address_, "255.255.255.255"})) {
        setup_.log("cannot add " + address_ + " to lo0, blocking without the note");
        failedAt_ = now;
        return false;
    }

    // Both ports are tried every time, and each one's outcome is logged when the attempt
    // fails, so a port taken by another program does not hide the state of the other.
    std::vector<std::string> outcomes;
    bool ok = true;
    for (auto [port, tls] : {std::pair{http, false}, std::pair{https, true}}) {
        auto handler = [this, tls](std::string_view received, ReadEnd end, const Reply&) {
            return handle(received, end, tls);
        };
        auto failed = [this](uint16_t bound, const std::string& error) {
            setup_.log("port " + std::to_string(bound) + " on " + address_ + ": " + error);
            broken_ = true;
        };
        TcpServer::Listening listening =
            TcpServer::listen(queue_->io, address_, port, setup_.limits, handler, failed, slots_);
        const uint16_t shown = listening.server ? listening.server->port() : port;
        outcomes.push_back("port " + std::to_string(shown) + " on " + address_ + ": " +
                           (listening.server ? std::string("ready") : listening.error));
        if (!listening.server) {
            ok = false;
            continue;
        }
        listeners_.push_back(std::move(listening.server));
    }
    if (!ok) {
        stop();
        for (const std::string& outcome : outcomes) setup_.log(outcome);
        failedAt_ = setup_.clock.steady();
        setup_.log("listener not up, blocking without the note");
    }
    return ok;
}

void Notice::stop() {
    listeners_.clear();
    broken_ = false;
    if (alias_ && setup_.loopback.has(address_)) setup_.loopback.run({"-alias", address_});
}

std::vector<uint16_t> Notice::ports() const {
    std::vector<uint16_t> out;
    for (const auto& listener : listeners_) out.push_back(listener->port());
    return out;
}

TcpCounts Notice::counts() const {
    TcpCounts sum{0, 0, slots_->open(), slots_->peak(), slots_->evicted()};
    for (const auto& listener : listeners_) {
        TcpCounts c = listener->counts();
        sum.accepted += c.accepted;
        sum.refused += c.refused;
    }
    return sum;
}

Step Notice::handle(std::string_view received, ReadEnd end, bool tls) {
    Parsed parsed = tls ? clientHelloHost(received) : httpHost(received);
    if (parsed.kind == Parsed::Kind::incomplete && end == ReadEnd::open) return Step::read();
    std::optional<std::string> name;
    if (parsed.kind == Parsed::Kind::host) name = std::move(parsed.name);

    // TLS: nothing is ever sent; the browser shows its own connection error.
    Step step = tls ? Step::close() : Step::send(blockAnswer(name));
    if (name) hits_.record(*name, setup_.clock.wall());
    return step;
}

}  // namespace tarrow
