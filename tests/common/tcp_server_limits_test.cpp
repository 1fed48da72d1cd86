// A server no client can wear down: a connection ends at its deadline however it
// trickles, a buffer stops at its limit, a peer that resets raises no SIGPIPE, an answer
// may come later from another thread; when every slot is taken, the connection idle
// longest gives way, never one being answered.

#include "common/tcp_server.h"

#include <csignal>
#include <thread>

#include <gtest/gtest.h>
#include <asio.hpp>

#include "common/connection_slots.h"
#include "tests/support/tcp_client.h"

namespace tarrow {
namespace {

using namespace std::chrono_literals;
using test::Client;

struct Running {
    asio::io_context io;
    asio::executor_work_guard<asio::io_context::executor_type> guard{io.get_executor()};
    std::thread thread{[this] { io.run(); }};
    ~Running() {
        guard.reset();
        io.stop();
        thread.join();
    }
};

TEST(TcpServerLimits, DeadlineBufferAndALateAnswer) {
    ::signal(SIGPIPE, SIG_DFL);  // a send that raised it would end the test
    Running loop;
    std::optional<Reply> pending;
    std::vector<std::pair<size_t, ReadEnd>> seen;
    auto listening =
        TcpServer::listen(loop.io, "127.0.0.1", 0, TcpLimits{32, 300ms, 8192, 8191, 100ms},
                          [&](std::string_view received, ReadEnd end, const Reply& reply) {
                              if (received.starts_with("t") || received.starts_with("a")) {
                                  seen.emplace_back(received.size(), end);
                                  return Step::read();
                              }
                              if (received.starts_with("big"))
                                  return Step::send(std::string(4 << 20, 'x'));
                              pending = reply;
                              return Step::wait();
                          });
    ASSERT_TRUE(listening.server) << listening.error;
    const uint16_t port = listening.server->port();

    Client trickle(port);  // a byte now and then does not put the deadline off
    for (int i = 0; i < 8 && trickle.send("t"); ++i) std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(trickle.receive(100ms).closed);

    seen.clear();
    Client flood(port);
    flood.send(std::string(9000, 'a'));
    EXPECT_LT(flood.receive(2s).after, 1000ms);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), std::make_pair(size_t{8192}, ReadEnd::full));

    for (int i = 0; i < 5; ++i) {  // the big answers run into resets
        Client client(port);
        client.send("big");
        client.resetOnClose();
        client.close();
    }
    std::this_thread::sleep_for(300ms);
    Client late(port);
    late.send("x");
    EXPECT_EQ(late.receive(2s).bytes, "");  // the deadline came first
    std::thread([&] { pending->send("too late, from another thread"); }).join();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(listening.server->counts().open, 0u);
}

TEST(TcpServerLimits, TheIdleLongestGivesWay) {
    const auto t0 = ConnectionSlots::Clock::time_point(1h);
    struct Holder {
        std::chrono::milliseconds acceptedAt;
        std::optional<std::chrono::milliseconds> lastReceived;
        size_t received = 0;
        bool answering = false;
    };
    const std::pair<std::vector<Holder>, std::string> cases[] = {
        {{{0ms, {}}, {10ms, {}}, {20ms, {}}}, "0"},
        {{{0ms, 900ms, 3}, {10ms, {}}, {20ms, {}}}, "1"},
        {{{0ms, 50ms, 9}, {0ms, 50ms, 2}, {0ms, 50ms, 5}}, "1"},  // equally idle: sent least
        {{{0ms, {}, 0, true}, {10ms, {}, 0, true}, {20ms, {}}}, "2"},
        {{{0ms, {}, 0, true}, {1ms, {}, 0, true}, {2ms, {}, 0, true}}, ""},  // newcomer refused
    };
    for (const auto& [holders, expected] : cases) {
        ConnectionSlots slots(3);
        std::string dropped;
        for (size_t i = 0; i < holders.size(); ++i) {
            const Holder& h = holders[i];
            auto key =
                slots.take(t0 + h.acceptedAt, [&dropped, i] { dropped += std::to_string(i); });
            ASSERT_TRUE(key);
            if (h.lastReceived) slots.received(*key, h.received, t0 + *h.lastReceived);
            if (h.answering) slots.answering(*key);
        }
        EXPECT_EQ(slots.take(t0 + 1s, [] {}).has_value(), !expected.empty());
        EXPECT_EQ(dropped, expected);
        EXPECT_EQ(slots.open(), 3u);
    }
}

}  // namespace
}  // namespace tarrow
