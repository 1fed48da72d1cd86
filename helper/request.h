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

// A file the app leaves for the helper, read only after the checks every such file
// gets: a regular file, not a link, owned by the user, at most maxRequestSize bytes,
// UTF-8, and when not empty touched within the heartbeat.
struct AppFile {
    enum class Kind { text, missing, untrusted, stale };
    Kind kind = Kind::missing;
    std::string text;  // only for Kind::text
};
AppFile readAppFile(const std::string& path, uid_t uid);

// Opens, checks and reads the request file; never modifies it.
Request requested(const std::string& path, uid_t uid);

// The name list of a request text: one name per line, trimmed, lower-cased, valid,
// not protected, each once, at most maxNames.
std::vector<std::string> requestNames(std::string_view text);

}  // namespace tarrow
