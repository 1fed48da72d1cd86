#pragma once
// The block page server's answers as pure functions of the request head: which
// route a request takes, and the exact bytes sent back. The server itself only moves
// bytes; everything a client can influence is decided here.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "app/browser/blocking_status.h"

namespace tarrow {

struct PageAnswer {
    std::string status;  // "200 OK", "404 Not Found", ...
    std::string type = "text/plain; charset=utf-8";
    std::string body;
    std::string cache = "no-store";
};

// A valid block page request: the page must be made (on the main thread) for it.
struct PageWanted {
    std::string site;
    std::string back;  // empty unless an http or https address
};

using Routed = std::variant<PageAnswer, PageWanted>;

struct PageSetup {
    uint16_t port = 0;
    std::string token;
    std::string hostsPath = "/etc/hosts";
    std::string fontFolder;  // holds apfel-grotezk-latin-{400,700}-normal.ttf
    // What /status and /blocking answer; copies of the setup share it.
    std::shared_ptr<BlockingStatus> blocking = std::make_shared<BlockingStatus>();
    // The page switch: while off, /blocking names nothing. Set on the main thread.
    std::shared_ptr<std::atomic<bool>> pageSwitch = std::make_shared<std::atomic<bool>>(true);
    // The id of Tarrow's browser extension, the one origin /blocking answers besides
    // none; empty when it is not known.
    std::string extensionId = {};
};

inline constexpr size_t pageHeadLimit = 8192;

// Where the head ends ("\r\n\r\n"), or none while it has not ended.
std::optional<size_t> headEnd(std::string_view buffer);

// The answer to one request; `buffer` holds at least the whole head.
Routed route(std::string_view buffer, const PageSetup& setup);

// The answer for a block page whose HTML has been made.
PageAnswer pageAnswer(std::string html);

// The bytes on the wire: status line, headers, body.
std::string answerBytes(const PageAnswer& answer);

// Equal strings, in a time that does not depend on where they first differ.
bool sameSecret(std::string_view a, std::string_view b);

}  // namespace tarrow
