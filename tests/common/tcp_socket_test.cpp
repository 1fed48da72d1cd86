// The server's sockets stay out of programs started while it runs: the listening
// socket, an accepted connection and the loop's own descriptors.

#include "common/tcp_socket.h"

#include <thread>

#include <gtest/gtest.h>
#include <asio.hpp>

#include "common/tcp_server.h"
#include "tests/support/child_descriptors.h"
#include "tests/support/tcp_client.h"

namespace tarrow {
namespace {

using namespace std::chrono_literals;

TEST(TcpSocket, AChildStartedWhileServingInheritsNoSocket) {
    const auto before = test::openDescriptors();
    asio::io_context io;
    auto guard = asio::make_work_guard(io);
    std::thread loop([&] { io.run(); });
    std::atomic<bool> connected{false};
    auto listening = TcpServer::listen(io, "127.0.0.1", 0, TcpLimits{},
                                       [&](std::string_view, ReadEnd, const Reply&) {
                                           connected = true;
                                           return Step::read();  // held open until the deadline
                                       });
    ASSERT_TRUE(listening.server) << listening.error;
    test::Client client(listening.server->port());
    client.send("x");
    for (int i = 0; i < 200 && !connected; ++i) std::this_thread::sleep_for(5ms);
    ASSERT_TRUE(connected);

    EXPECT_EQ(test::inheritedSince(before), std::set<std::string>{});

    listening.server->close();
    guard.reset();
    io.stop();
    loop.join();
}

}  // namespace
}  // namespace tarrow
