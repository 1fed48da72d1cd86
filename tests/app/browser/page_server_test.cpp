#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

#include "app/browser/page_server.h"
#include "tests/support/tcp_client.h"

namespace tarrow {
namespace {

using Clock = std::chrono::steady_clock;

std::string exchange(uint16_t port, const std::string& request) {
    test::Client client(port);
    if (!client.connected()) return "no connection";
    client.send(request);
    return client.receive(std::chrono::seconds(5)).bytes;
}

// A listening socket that holds a port.
int holdPort(uint16_t port) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 1)) {
        close(fd);
        return -1;
    }
    return fd;
}

// Ports of this test process, away from the real ones and from other test processes.
uint16_t basePort() {
    return uint16_t(20000 + (getpid() % 2000) * 10);
}

class Server : public ::testing::Test {
  protected:
    PageServerSetup setup(PagePorts ports) {
        PageServerSetup s;
        s.onMain = [this](std::function<void()> job) {
            std::lock_guard lock(mainMutex);
            mainJobs.push_back(std::move(job));
        };
        s.log = [this](const std::string& line) {
            std::lock_guard lock(logMutex);
            logs.push_back(line);
        };
        s.hostsPath = "/nonexistent/hosts";
        s.ports = ports;
        return s;
    }
    std::string host(const PageServer& server) {
        return "127.0.0.1:" + std::to_string(*server.port());
    }

    // The test's thread stands in for the app's main thread: it runs what the server
    // queues for it while the request is under way on another thread.
    std::string exchangeOnMain(uint16_t port, const std::string& request) {
        auto answer = std::async(std::launch::async, [&] { return exchange(port, request); });
        while (answer.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
            std::deque<std::function<void()>> jobs;
            {
                std::lock_guard lock(mainMutex);
                jobs.swap(mainJobs);
            }
            for (auto& job : jobs) job();
        }
        return answer.get();
    }

    std::mutex mainMutex;
    std::deque<std::function<void()>> mainJobs;
    std::mutex logMutex;
    std::vector<std::string> logs;
};

TEST_F(Server, TakesTheFirstFreePortAndNamesItInAddresses) {
    const uint16_t base = basePort();
    int a = holdPort(base), b = holdPort(uint16_t(base + 1));
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    PageServer server(setup({base, 10}));
    EXPECT_FALSE(server.port());
    ASSERT_TRUE(server.start());
    EXPECT_TRUE(server.start());  // again: nothing changes
    EXPECT_EQ(server.port(), base + 2);
    EXPECT_EQ(server.url("www.example.com", "https://www.example.com/a_b-c.d~e"),
              "http://127.0.0.1:" + std::to_string(base + 2) +
                  "/blocked?site=www.example.com&back=https%3A%2F%2Fwww.example.com%2Fa_b-c.d~e");
    EXPECT_EQ(logs,
              std::vector<std::string>{"page server on 127.0.0.1:" + std::to_string(base + 2)});
    EXPECT_EQ(server.token().size(), 32u);
    EXPECT_EQ(server.token().find_first_not_of("0123456789abcdef"), std::string::npos);
    close(a);
    close(b);
}

TEST_F(Server, AllPortsTakenIsLoggedOnce) {
    const uint16_t base = basePort();
    std::vector<int> held;
    for (int i = 0; i < 10; ++i) held.push_back(holdPort(uint16_t(base + i)));
    for (int fd : held) ASSERT_GE(fd, 0);
    PageServer server(setup({base, 10}));
    EXPECT_FALSE(server.start());
    EXPECT_FALSE(server.start());
    EXPECT_FALSE(server.port());
    EXPECT_EQ(logs,
              std::vector<std::string>{"page server not started: ports " + std::to_string(base) +
                                       "\u2013" + std::to_string(base + 9) + " are taken"});
    for (int fd : held) close(fd);
}

TEST_F(Server, MakesThePageOnTheMainThread) {
    PageServer server(setup({basePort(), 10}));
    std::thread::id madeOn;
    server.setPage([&](const std::string& site, const std::string& back) {
        madeOn = std::this_thread::get_id();
        return "<p>" + site + "|" + back + "</p>";
    });
    ASSERT_TRUE(server.start());
    const std::string answer =
        exchangeOnMain(*server.port(),
                       "GET /blocked?site=youtube.com&back=https%3A%2F%2Fyoutube.com%2F "
                       "HTTP/1.1\r\nHost: " +
                           host(server) + "\r\n\r\n");
    EXPECT_TRUE(
        answer.starts_with("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n"
                           "Content-Length: 39\r\nCache-Control: no-store\r\n"))
        << answer;
    EXPECT_TRUE(answer.ends_with("\r\n\r\n<p>youtube.com|https://youtube.com/</p>"));
    EXPECT_EQ(madeOn, std::this_thread::get_id());
}

TEST_F(Server, CutsOffStallingAndOverlongClients) {
    PageServer server(setup({basePort(), 10}));
    ASSERT_TRUE(server.start());
    // 8 KB of head without its end: closed unanswered.
    EXPECT_EQ(exchange(*server.port(), "GET / HTTP/1.1\r\nX: " + std::string(8200, 'a')), "");
    // A client that sends half a head and stalls: closed after about 3 seconds.
    test::Client client(*server.port());
    ASSERT_TRUE(client.send("GET / HTTP/1.1\r\n"));
    const test::Client::Received answer = client.receive(std::chrono::seconds(6));
    EXPECT_EQ(answer.bytes, "");
    EXPECT_TRUE(answer.closed);
    EXPECT_GT(answer.after, std::chrono::milliseconds(2500));
    EXPECT_LT(answer.after, std::chrono::milliseconds(4500));
}

TEST_F(Server, HoldsAtMostThirtyTwoConnections) {
    PageServer server(setup({basePort(), 10}));
    ASSERT_TRUE(server.start());
    std::vector<test::Client> idle;
    for (int i = 0; i < 40; ++i) idle.emplace_back(*server.port());
    for (const test::Client& client : idle) ASSERT_TRUE(client.connected());
    // The extra eight are closed on arrival; the first 32 wait for their deadline.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    int closedAtOnce = 0;  // a closed one answers at once; 32 short waits stay far from 3 s
    for (test::Client& client : idle)
        closedAtOnce += client.receive(std::chrono::milliseconds(20)).closed;
    EXPECT_EQ(closedAtOnce, 8);
    EXPECT_EQ(server.counts().peak, 32u);
    idle.clear();
    // Once they are gone, requests are served again.
    const auto until = Clock::now() + std::chrono::seconds(5);
    std::string answer;
    while (Clock::now() < until) {
        answer = exchange(*server.port(), "GET /x HTTP/1.1\r\nHost: " + host(server) + "\r\n\r\n");
        if (!answer.empty()) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 404 Not Found")) << answer;
}

}  // namespace
}  // namespace tarrow
