// The server on its own, with the limits the app's page server uses: an answer given
// later from another thread, the deadline over a waiting connection, the buffer limit,
// and a port that is free again as soon as close returns.

#include "common/tcp_server.h"

#include <csignal>
#include <thread>

#include <gtest/gtest.h>
#include <asio.hpp>

#include "tests/support/tcp_client.h"

namespace tarrow {
namespace {

using namespace std::chrono_literals;
using test::Client;

constexpr TcpLimits pageLimits{32, 3000ms, 8192, 8191, 100ms};

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

TEST(TcpServer, AnswerGivenLaterFromAnotherThread) {
    Running loop;
    std::optional<Reply> pending;
    std::atomic<bool> asked{false};
    auto listening = TcpServer::listen(loop.io, "127.0.0.1", 0, pageLimits,
                                       [&](std::string_view received, ReadEnd, const Reply& reply) {
                                           if (received.find("\r\n\r\n") == std::string_view::npos)
                                               return Step::read();
                                           pending = reply;
                                           asked = true;
                                           return Step::wait();
                                       });
    ASSERT_TRUE(listening.server) << listening.error;
    Client client(listening.server->port());
    client.send("GET /blocked HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    while (!asked) std::this_thread::sleep_for(1ms);
    std::thread elsewhere([&] { pending->send("HTTP/1.1 200 OK\r\n\r\nmade on another thread"); });
    elsewhere.join();
    auto got = client.receive(2s);
    EXPECT_TRUE(got.closed);
    EXPECT_EQ(got.bytes, "HTTP/1.1 200 OK\r\n\r\nmade on another thread");
}

// The deadline is the whole connection's: a byte now and then does not put it off.
TEST(TcpServer, DeadlineEndsAWaitingOrTricklingConnectionAndALateReplyIsDropped) {
    Running loop;
    std::optional<Reply> pending;
    TcpLimits quick = pageLimits;
    quick.deadline = 300ms;
    auto listening = TcpServer::listen(loop.io, "127.0.0.1", 0, quick,
                                       [&](std::string_view received, ReadEnd, const Reply& reply) {
                                           if (received.starts_with("t")) return Step::read();
                                           pending = reply;
                                           return Step::wait();
                                       });
    ASSERT_TRUE(listening.server);
    Client trickle(listening.server->port());
    for (int i = 0; i < 8 && trickle.send("t"); ++i) std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(trickle.receive(100ms).closed);
    Client client(listening.server->port());
    client.send("x");
    auto got = client.receive(2s);
    EXPECT_TRUE(got.closed);
    EXPECT_EQ(got.bytes, "");
    EXPECT_LT(got.after, 1000ms);
    ASSERT_TRUE(pending);
    pending->send("too late");  // the connection is gone: nothing happens
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(listening.server->counts().open, 0u);
}

TEST(TcpServer, BufferLimitEndsTheRead) {
    Running loop;
    std::vector<std::pair<size_t, ReadEnd>> seen;
    auto listening = TcpServer::listen(loop.io, "127.0.0.1", 0, pageLimits,
                                       [&](std::string_view received, ReadEnd end, const Reply&) {
                                           seen.emplace_back(received.size(), end);
                                           return Step::read();
                                       });
    ASSERT_TRUE(listening.server);
    Client client(listening.server->port());
    client.send(std::string(9000, 'a'));
    auto got = client.receive(2s);
    EXPECT_TRUE(got.closed);
    EXPECT_LT(got.after, 1000ms);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), std::make_pair(size_t{8192}, ReadEnd::full));
    for (size_t i = 0; i + 1 < seen.size(); ++i) EXPECT_EQ(seen[i].second, ReadEnd::open);
}

TEST(TcpServer, PortFreeOnceClosedAndTakenWhileOpen) {
    Running loop;
    auto handler = [](std::string_view, ReadEnd, const Reply&) { return Step::close(); };
    auto first = TcpServer::listen(loop.io, "127.0.0.1", 0, pageLimits, handler);
    ASSERT_TRUE(first.server);
    const uint16_t port = first.server->port();
    auto taken = TcpServer::listen(loop.io, "127.0.0.1", port, pageLimits, handler);
    EXPECT_FALSE(taken.server);
    EXPECT_FALSE(taken.error.empty());
    first.server->close();
    auto again = TcpServer::listen(loop.io, "127.0.0.1", port, pageLimits, handler);
    EXPECT_TRUE(again.server) << again.error;
    auto bad = TcpServer::listen(loop.io, "not an address", 0, pageLimits, handler);
    EXPECT_FALSE(bad.server);
}

TEST(TcpServer, ClosesWithoutHangingWhenTheLoopHasEnded) {
    asio::io_context io;
    auto listening =
        TcpServer::listen(io, "127.0.0.1", 0, TcpLimits{},
                          [](std::string_view, ReadEnd, const Reply&) { return Step::close(); });
    ASSERT_TRUE(listening.server);
    io.run_for(std::chrono::milliseconds(10));
    io.stop();
    // Closing must return although nothing runs the loop any more.
    auto closed = std::make_shared<std::atomic<bool>>(false);
    std::thread([server = std::move(listening.server), closed]() mutable {
        server.reset();
        *closed = true;
    }).detach();
    for (int i = 0; i < 200 && !*closed; ++i) std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(*closed);
}

// Sending to a peer that has gone gives the server an error, never a SIGPIPE: the test
// process takes SIGPIPE's default action, which would end it.
TEST(TcpServer, APeerThatResetsDoesNotRaiseSigpipe) {
    ::signal(SIGPIPE, SIG_DFL);
    Running loop;
    std::atomic<int> answered{0};
    auto listening = TcpServer::listen(loop.io, "127.0.0.1", 0, pageLimits,
                                       [&](std::string_view, ReadEnd, const Reply&) {
                                           ++answered;
                                           return Step::send(std::string(4 << 20, 'x'));
                                       });
    ASSERT_TRUE(listening.server);
    for (int i = 0; i < 5; ++i) {
        Client client(listening.server->port());
        client.send("GET / HTTP/1.1\r\n\r\n");
        client.resetOnClose();
        client.close();
    }
    for (int i = 0; i < 200 && answered < 5; ++i) std::this_thread::sleep_for(5ms);
    std::this_thread::sleep_for(200ms);  // the sends run into the resets
    EXPECT_EQ(answered, 5);
    EXPECT_EQ(listening.server->counts().open, 0u);
}

}  // namespace
}  // namespace tarrow
