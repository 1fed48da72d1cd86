#pragma once
// The helper's reading of the request file the app writes: which names to block,
// checked so that nothing the helper is told can be trusted blindly.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace tarrow {

inline constexpr size_t maxNames = 2000;
inline constexpr std::chrono::seconds heartbeat{300};  // a non-empty request stays fresh

inline constexpr off_t maxRequestSize = 999999;  // larger files are refused
inline constexpr size_t requestReadLimit = 1000000;

struct Request {
    enum class Kind { names, untrusted, silent };
    Kind kind = Kind::names;
    std::vector<std::string> names;  // only for Kind::names

    static Request untrusted() { return {Kind::untrusted, {}}; }
    static Request silent() { return {Kind::silent, {}}; }
    bool operator==(const Request&) const = default;
};

// Opens, checks and reads the request file; never modifies it.
Request requested(const std::string& path, uid_t uid);

// The name list of a request text: one name per line, trimmed, lower-cased, valid,
// not protected, each once, at most maxNames.
std::vector<std::string> requestNames(std::string_view text);

}  // namespace tarrow
