#pragma once
// Reading which site a connection wanted from its first bytes: the server name of a
// TLS ClientHello, or the Host header of an HTTP request. Bytes come from anyone on
// the machine, so both parsers are total: every input gives a result, and nothing
// past the bytes held is ever read.

#include <string>
#include <string_view>

namespace tarrow {

struct Parsed {
    enum class Kind { host, incomplete, none };
    Kind kind = Kind::none;
    std::string name;  // only for host; lower case

    static Parsed host(std::string name) { return {Kind::host, std::move(name)}; }
    static Parsed incomplete() { return {Kind::incomplete, {}}; }
    static Parsed none() { return {Kind::none, {}}; }
    bool operator==(const Parsed&) const = default;
};

// httpHost gives up on a head longer than this without its blank line.
inline constexpr size_t headerLimit = 16384;

Parsed clientHelloHost(std::string_view data);
Parsed httpHost(std::string_view data);

}  // namespace tarrow
