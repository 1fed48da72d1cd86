#pragma once
// The local block page server on 127.0.0.1, first free port of 47110-47119. Network
// work runs on the server's own thread; the page's HTML is made on the main thread
// (it reads the configuration) and handed back to the server's thread to send.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "app/browser/page_routes.h"
#include "common/tcp_server.h"

namespace asio {
class io_context;
}

namespace tarrow {

struct PagePorts {
    uint16_t first = 47110;
    int count = 10;
};

struct PageServerSetup {
    // Runs a job on the main thread, later.
    std::function<void(std::function<void()>)> onMain;
    std::function<void(const std::string&)> log;
    std::string fontFolder;
    std::string hostsPath = "/etc/hosts";
    std::string extensionId;  // Tarrow's browser extension, when known
    PagePorts ports;
};

class PageServer {
  public:
    using PageMaker = std::function<std::string(const std::string& site, const std::string& back)>;

    explicit PageServer(PageServerSetup setup);
    ~PageServer();
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    // Binds the first free port; does nothing once a port is bound. True when the
    // server has a port. Main thread.
    bool start();
    std::optional<uint16_t> port() const { return port_; }
    const std::string& token() const { return token_; }
    // The block page's address for a blocked host and the address to go back to.
    std::string url(const std::string& host, const std::string& back) const;
    // Main thread; used on the main thread only.
    void setPage(PageMaker page) { page_ = std::move(page); }

    // The page switch, as the browser extension learns it. Any thread.
    void setPageSwitch(bool on) { pageSwitch_->store(on); }

    TcpCounts counts() const;

  private:
    Step handle(std::string_view received, ReadEnd end, const Reply& reply);
    void makePage(const PageWanted& wanted, const Reply& reply);

    PageServerSetup setup_;
    std::string token_;
    std::optional<uint16_t> port_;
    std::shared_ptr<std::atomic<bool>> pageSwitch_ = std::make_shared<std::atomic<bool>>(true);
    PageSetup routes_;  // fixed before the first connection
    PageMaker page_;
    bool failureLogged_ = false;
    std::unique_ptr<asio::io_context> io_;
    std::unique_ptr<TcpServer> listener_;
    std::thread thread_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // watched by queued page jobs
};

// Four random 32-bit numbers as 32 lower-case hexadecimal digits.
std::string newToken();

}  // namespace tarrow
