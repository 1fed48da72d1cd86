#pragma once
// A plain blocking TCP client on 127.0.0.1 for the tests of servers.

#include <chrono>
#include <cstdint>
#include <string>

namespace tarrow::test {

class Client {
  public:
    explicit Client(uint16_t port);  // connects at once
    ~Client();
    Client(Client&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Client(const Client&) = delete;

    bool connected() const { return fd_ >= 0; }
    bool send(const std::string& bytes);
    // Reads until the server closes or the time is up.
    struct Received {
        std::string bytes;
        bool closed = false;  // the server ended the connection
        std::chrono::milliseconds after{0};
    };
    Received receive(std::chrono::milliseconds limit);
    void endSending();    // the peer sees the end of the stream
    void resetOnClose();  // closing then resets the connection instead of ending it
    void close();

  private:
    int fd_ = -1;
};

}  // namespace tarrow::test
