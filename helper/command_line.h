#pragma once
// The helper's command line: which mode runs, with which values.

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarrow::helper {

inline constexpr std::string_view usageLine =
    "tarrow-helper --daemon <request file> --uid <uid> | --apply <request file> --uid <uid> "
    "[--hosts <file>] [--no-flush] | --clear";

enum class Mode { version, listenTest, clear, apply, daemon, usage };

struct Invocation {
    Mode mode = Mode::usage;
    bool daemon = false;                  // "--daemon" anywhere
    std::string hostsPath;                // /etc/hosts in the daemon, else --hosts or /etc/hosts
    bool flush = true;                    // always in the daemon, else unless --no-flush
    std::string requestPath;              // apply and daemon
    uid_t uid = 0;                        // apply and daemon
    std::string folder;                   // listen test
    uint16_t plainPort = 0, tlsPort = 0;  // listen test
};

// args excludes the program name. The first matching row wins.
Invocation parseCommandLine(const std::vector<std::string>& args);

// The argument right after the first occurrence of flag; none when the flag is absent
// or the last argument.
std::optional<std::string> value(const std::vector<std::string>& args, std::string_view flag);

// An unsigned 32-bit decimal number: digits only, no sign, no blanks.
std::optional<uint32_t> parseUnsigned32(std::string_view text);

}  // namespace tarrow::helper
